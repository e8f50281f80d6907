#pragma once

// Runs tools/corvane-reference-cabinet for a test: on free ports of 127.0.0.1 (HTTPS and
// plain HTTP), with its state, data file and request log in a scratch folder.

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStringList>

class ReferenceCabinet
{
public:
    QString https;
    QString http;
    QString caFile;
    QString logFile;

    bool start(const QString &state)
    {
        const QString script = QStringLiteral(CORVANE_TEST_DATA_DIR)
                + QStringLiteral("/../../tools/corvane-reference-cabinet/corvane-reference-cabinet");
        logFile = state + QStringLiteral("/requests.log");
        caFile = state + QStringLiteral("/ca.pem");
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(QStringLiteral("python3"),
                        { script, "--listen", "127.0.0.1:0", "--listen-http", "127.0.0.1:0",
                          "--state", state, "--log", logFile, "--exit-with-parent" });
        QString output;
        while (!output.contains(QLatin1String("sign in as"))) {
            if (!m_process.waitForReadyRead(20000))
                return false;
            output += QString::fromUtf8(m_process.readAll());
        }
        for (const QString &line : output.split(QLatin1Char('\n'))) {
            const int at = line.indexOf(QLatin1String("serving "));
            if (at < 0)
                continue;
            const QString url = line.mid(at + 8).trimmed();
            (url.startsWith(QLatin1String("https")) ? https : http) = url;
        }
        return !https.isEmpty() && !http.isEmpty();
    }

    void stop()
    {
        m_process.terminate();
        m_process.waitForFinished(10000);
    }

    // The POSTs that carried a JSON-RPC message and were let through (not refused with
    // 401), in the order they arrived.
    QList<QJsonObject> calls() const
    {
        QList<QJsonObject> entries;
        QFile file(logFile);
        if (!file.open(QIODevice::ReadOnly))
            return entries;
        while (!file.atEnd()) {
            const QJsonObject entry = QJsonDocument::fromJson(file.readLine()).object();
            if (entry.contains(QLatin1String("body")) && !entry.contains(QLatin1String("refused")))
                entries.append(entry);
        }
        return entries;
    }

    QList<QJsonObject> callsOf(const QString &method) const
    {
        QList<QJsonObject> matching;
        for (const QJsonObject &entry : calls()) {
            if (entry.value(QLatin1String("method")).toString() == method)
                matching.append(entry);
        }
        return matching;
    }

private:
    QProcess m_process;
};
