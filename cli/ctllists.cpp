#include "ctlsession.h"

#include "cabinetdomain.h"
#include "exitcodes.h"

#include <QHostAddress>

#include <memory>

namespace {

QString typeText(int type)
{
    return CabinetDomain::listTypeToString(type);
}

} // namespace

// The service answers with the copy it holds at once; a fresher copy, if the account has
// one, only follows later as a notification.
void CtlSession::fetchDomains(quint32 profileId, int type, std::function<void(const CabinetDomains &)> done)
{
    call("domains", {profileId, typeText(type)}, [this, type, done](const QVariant &result) {
        CabinetDomains list;
        if (!list.fromVariant(result, CabinetDomain::Type(type)))
            return fail(ExitCode::Failed,
                        ::Error(::Error::InvalidAnswerCode,
                                QStringLiteral("unexpected answer to \"domains\": the %1 does not read").arg(StatusView::listName(type))),
                        QString());
        done(list);
    });
}

void CtlSession::runLists()
{
    const CabinetProfile *profile = requireProfile(m_command.args.at(0));
    if (!profile)
        return;
    const quint32 id = profile->id();
    QList<int> types = {CabinetDomain::WhiteList, CabinetDomain::BlackList, CabinetDomain::AliasList};
    if (m_command.listType >= 0)
        types = {m_command.listType};
    // Asked together; the answers come in the order of the calls.
    struct Collected
    {
        QList<CabinetDomains> lists;
        int missing = 0;
    };
    auto collected = std::make_shared<Collected>();
    collected->missing = types.size();
    for (int i = 0; i < types.size(); ++i)
        collected->lists.append(CabinetDomains());
    for (int i = 0; i < types.size(); ++i) {
        fetchDomains(id, types.at(i), [this, id, types, collected, i](const CabinetDomains &list) {
            collected->lists[i] = list;
            if (--collected->missing > 0)
                return;
            QVariantMap entry;
            entry.insert(QStringLiteral("profile"), StatusView::profileJson(m_state, id));
            m_output.line(m_state.profileLabel(id));
            for (int k = 0; k < types.size(); ++k) {
                entry.insert(typeText(types.at(k)), StatusView::domainsJson(collected->lists.at(k)));
                m_output.line(StatusView::listName(types.at(k)) + QLatin1Char(':'));
                for (const QString &line : StatusView::domainLines(collected->lists.at(k)))
                    m_output.line(line);
            }
            QVariantList all = m_output.json().value(QStringLiteral("lists")).toList();
            all.append(entry);
            m_output.json().insert(QStringLiteral("lists"), all);
            commandDone();
        });
    }
}

// The members every list edit reports: which profile and which list.
QVariantMap CtlSession::listAction(quint32 profileId, int type, const QString &domain, quint32 entryId) const
{
    QVariantMap action;
    action.insert(QStringLiteral("profile"), StatusView::profileJson(m_state, profileId));
    action.insert(QStringLiteral("list"), typeText(type));
    if (entryId != 0) {
        action.insert(QStringLiteral("domain"), domain);
        action.insert(QStringLiteral("id"), entryId);
    }
    return action;
}

// "the white list of Kids", as the reports name a list.
QString CtlSession::listPlace(quint32 profileId, int type) const
{
    return QStringLiteral("the %1 of %2").arg(StatusView::listName(type), m_state.profileLabel(profileId));
}

void CtlSession::runListAdd()
{
    const CabinetProfile *profile = requireProfile(m_command.args.at(0));
    if (!profile)
        return;
    const quint32 id = profile->id();
    const int type = m_command.listType;
    const QString domain = m_command.args.at(1);
    const QString address = type == CabinetDomain::AliasList ? QHostAddress(m_command.args.at(2)).toString() : QString();
    QVariantList params = {id, typeText(type), domain};
    if (type == CabinetDomain::AliasList)
        params << address;
    call("addDomain", params, [this, id, type, domain, address](const QVariant &result) {
        quint32 entryId = 0;
        if (!WireValue::toUnsigned(result, &entryId) || entryId == 0)
            return fail(ExitCode::Failed,
                        ::Error(::Error::InvalidAnswerCode, QStringLiteral("unexpected answer to \"addDomain\": not an entry id")),
                        QString());
        QVariantMap action = listAction(id, type, domain, entryId);
        if (type == CabinetDomain::AliasList)
            action.insert(QStringLiteral("ip"), address);
        addAction(action, QStringLiteral("%1 is on %2 now.").arg(domain, listPlace(id, type)));
        commandDone();
    });
}

void CtlSession::runListRemove()
{
    const CabinetProfile *profile = requireProfile(m_command.args.at(0));
    if (!profile)
        return;
    const quint32 id = profile->id();
    const int type = m_command.listType;
    const QString domain = m_command.args.at(1);
    fetchDomains(id, type, [this, id, type, domain](const CabinetDomains &list) {
        // Names in DNS compare without regard to case.
        quint32 entryId = 0;
        QString listed = domain;
        for (const CabinetDomain &entry : list) {
            if (entry.domain().compare(domain, Qt::CaseInsensitive) == 0) {
                entryId = entry.id();
                listed = entry.domain();
                break;
            }
        }
        const QString where = listPlace(id, type);
        if (entryId == 0)
            return fail(ExitCode::Failed, ::Error(0, QStringLiteral("%1 is not on %2").arg(domain, where)), QString());
        call("removeDomain", {id, typeText(type), entryId}, [this, id, type, listed, entryId, where](const QVariant &) {
            addAction(listAction(id, type, listed, entryId), QStringLiteral("%1 is no longer on %2.").arg(listed, where));
            commandDone();
        });
    });
}

void CtlSession::runListClear()
{
    const CabinetProfile *profile = requireProfile(m_command.args.at(0));
    if (!profile)
        return;
    const quint32 id = profile->id();
    const int type = m_command.listType;
    call("clearDomains", {id, typeText(type)}, [this, id, type](const QVariant &) {
        QString sentence = listPlace(id, type) + QStringLiteral(" is empty now.");
        sentence[0] = sentence.at(0).toUpper();
        addAction(listAction(id, type), sentence);
        commandDone();
    });
}

// The adapter control keys protection on the interface name, which is the network's id.
void CtlSession::runProtect()
{
    const Network *found = m_state.findNetwork(m_command.args.at(0));
    if (!found) {
        fail(ExitCode::Failed,
             ::Error(0, QStringLiteral("there is no network connection named '%1' (see 'corvanectl status')").arg(m_command.args.at(0))),
             QString());
        return;
    }
    const Network network = *found;
    const bool on = m_command.on;
    call("setNetworkProtection", {network.id(), on, QVariantList()}, [this, network, on](const QVariant &result) {
        ::Error refused;
        if (WireValue::isErrorResult(result, &refused))
            return fail(ExitCode::Failed, refused, QString());
        QVariantMap action;
        action.insert(QStringLiteral("network"), network.id());
        action.insert(QStringLiteral("name"), network.name());
        action.insert(QStringLiteral("protected"), on);
        addAction(action, QStringLiteral("%1 (%2) is %3.")
                                  .arg(network.name(), network.id(),
                                       on ? QStringLiteral("protected now") : QStringLiteral("not protected any more")));
        commandDone();
    });
}
