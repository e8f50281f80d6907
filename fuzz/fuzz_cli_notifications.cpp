// Feeds fuzzed JSON text to corvanectl's reading of the service's notifications: the
// text is a list of messages, each a list of the method name and its params. Beyond "no
// crash, no leak", it checks that a refused notification changes nothing, and that what
// is shown for people carries no control character.
#include "fuzzsupport.h"
#include "output.h"
#include "qxtjson.h"
#include "servicestate.h"
#include "statusview.h"
#include "watchformat.h"

#include <cstdint>

namespace {

QByteArray snapshot(const ServiceState &state)
{
    QVariantMap all = StatusView::statusJson(state, StatusView::Facts());
    all.insert(QStringLiteral("profiles"), StatusView::profilesJson(state));
    return Output::toJson(all);
}

void checkShown(const QString &text)
{
    for (const QChar c : Output::clean(text))
        FuzzSupport::check(c.unicode() >= 0x20 && !(c.unicode() >= 0x7f && c.unicode() <= 0x9f));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzSupport::silenceLog();
    const QVariant messages = QxtJSON::parse(QString::fromUtf8(reinterpret_cast<const char *>(data), int(size)));
    ServiceState state;
    for (const QVariant &message : messages.toList()) {
        QVariantList params = message.toList();
        if (params.isEmpty())
            continue;
        const QString method = params.takeFirst().toString();
        const QByteArray before = snapshot(state);
        const ::Error error = state.apply(method, params);
        if (error.isError()) {
            FuzzSupport::check(snapshot(state) == before);
            continue;
        }
        checkShown(WatchFormat::describe(method, params, state));
        Output::toJson(WatchFormat::json(method, params, QDateTime(), error));
    }
    for (const auto &row : StatusView::statusRows(state, StatusView::Facts()))
        checkShown(row.second);
    for (const QString &line : StatusView::profileLines(state))
        checkShown(line);
    state.summary();
    return 0;
}
