#pragma once

#include <QProcess>
#include <QString>

#include <memory>

class QTemporaryDir;

// The corvane-service program as the end-to-end tests run it: the reference filtering
// resolver on the reference account service's data file, the ini adapter backend with one
// adapter ("eth0", own servers OwnServers), the local proxy and the block page on free
// loopback ports, and the IPC socket in a folder that other users may enter (a client run
// as "nobody" must reach it). Everything lives in the scratch folder given.
class ServiceRig
{
public:
    static const QString OwnServers;

    explicit ServiceRig(const QString &scratch);
    ~ServiceRig();

    // Starts the resolver on dataFile, then the service signed in to nothing, pointed at
    // the account site (trusting caFile) and the resolver; extraIni lines are added to its
    // service.ini. Waits until the service says it started. False (with a warning that
    // says why) when something did not come up.
    bool start(const QString &site, const QString &caFile, const QString &dataFile, const QString &extraIni = QString());
    // Stops the service (normally, then killing it) and the resolver.
    void stop();

    QString path(const QString &relative) const { return m_scratch + QLatin1Char('/') + relative; }
    QString socket() const { return m_socket; }
    // The folder of the socket, which other users may enter.
    QString sharedFolder() const;
    QString adapterFile() const { return path(QStringLiteral("adapters.ini")); }
    QString serviceLog() const { return path(QStringLiteral("service.log")); }
    quint16 proxyPort() const { return m_proxyPort; }
    quint16 blockPagePort() const { return m_blockPagePort; }
    QProcess &service() { return m_service; }

    // The project's source tree and build tree.
    static QString sourcePath(const QString &relative);
    static QString binaryPath(const QString &relative);

private:
    bool startResolver(const QString &dataFile, quint16 *port);

    QString m_scratch;
    std::unique_ptr<QTemporaryDir> m_shared;
    QString m_socket;
    quint16 m_proxyPort = 0;
    quint16 m_blockPagePort = 0;
    QProcess m_resolver;
    QProcess m_service;
};
