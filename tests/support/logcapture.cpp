#include "logcapture.h"

#include <QStringList>

namespace {
QList<QPair<QtMsgType, QString>> g_messages;

void capture(QtMsgType type, const QMessageLogContext &, const QString &text)
{
    g_messages.append({ type, text });
}
} // namespace

LogCapture::LogCapture()
    : m_previous(qInstallMessageHandler(capture))
{
    g_messages.clear();
}

LogCapture::~LogCapture()
{
    qInstallMessageHandler(m_previous);
    g_messages.clear();
}

QList<QPair<QtMsgType, QString>> LogCapture::messages() const
{
    return g_messages;
}

QStringList LogCapture::warnings() const
{
    QStringList result;
    for (const auto &message : g_messages) {
        if (message.first == QtWarningMsg)
            result << message.second;
    }
    return result;
}

bool LogCapture::contains(const QString &text) const
{
    for (const auto &message : g_messages) {
        if (message.second.contains(text))
            return true;
    }
    return false;
}

QString LogCapture::dump() const
{
    QStringList lines;
    for (const auto &message : g_messages)
        lines << QString::number(message.first) + QLatin1Char(' ') + message.second;
    return lines.join(QLatin1Char('\n'));
}

void LogCapture::clear()
{
    g_messages.clear();
}
