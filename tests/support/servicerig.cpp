#include "servicerig.h"

#include "testsupport.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QThread>

namespace {

// Waits up to milliseconds for a condition, keeping the caller's event loop out of it (the
// programs are separate processes).
template <typename Condition>
bool waitFor(Condition condition, int milliseconds)
{
    QDeadlineTimer deadline(milliseconds);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(50);
    }
    return true;
}

QByteArray contentsOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

const QString ServiceRig::OwnServers = QStringLiteral("192.0.2.1 192.0.2.2");

ServiceRig::ServiceRig(const QString &scratch)
    : m_scratch(scratch)
    , m_shared(std::make_unique<QTemporaryDir>(QDir::rootPath() + QStringLiteral("tmp/corvane-rig-XXXXXX")))
{
    QFile::setPermissions(m_shared->path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
                                                | QFileDevice::ExeGroup | QFileDevice::ExeOther);
    m_socket = m_shared->path() + QStringLiteral("/en-genericipc");
}

ServiceRig::~ServiceRig()
{
    stop();
}

QString ServiceRig::sharedFolder() const
{
    return m_shared->path();
}

QString ServiceRig::sourcePath(const QString &relative)
{
    return QStringLiteral(CORVANE_SOURCE_DIR "/") + relative;
}

QString ServiceRig::binaryPath(const QString &relative)
{
    return QStringLiteral(CORVANE_BINARY_DIR "/") + relative;
}

bool ServiceRig::startResolver(const QString &dataFile, quint16 *port)
{
    m_resolver.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_resolver.start(QStringLiteral("python3"),
                     { sourcePath(QStringLiteral("tools/corvane-reference-resolver/corvane-reference-resolver")),
                       QStringLiteral("--listen"), QStringLiteral("127.0.0.1:0"), QStringLiteral("--data"), dataFile,
                       QStringLiteral("--state"), path(QStringLiteral("resolver")), QStringLiteral("--log"),
                       path(QStringLiteral("resolver/queries.log")) });
    return waitFor([&] {
        const QJsonObject status = QJsonDocument::fromJson(contentsOf(path(QStringLiteral("resolver/status.json")))).object();
        *port = status.value(QStringLiteral("udp")).toString().section(QLatin1Char(':'), -1).toUShort();
        return *port != 0;
    }, 20000);
}

bool ServiceRig::start(const QString &site, const QString &caFile, const QString &dataFile, const QString &extraIni)
{
    if (!m_shared->isValid()) {
        qWarning("ServiceRig: no shared folder for the socket");
        return false;
    }
    quint16 resolverPort = 0;
    if (!startResolver(dataFile, &resolverPort)) {
        qWarning("ServiceRig: the reference resolver did not start");
        return false;
    }
    m_proxyPort = TestSupport::freeLoopbackPort();
    m_blockPagePort = TestSupport::freeLoopbackPort();
    const QString ini = path(QStringLiteral("service.ini"));
    if (!TestSupport::writeFile(adapterFile(), "[Adapters]\neth0\\FriendlyName=Office LAN\neth0\\Type=ethernet\neth0\\Up=true\n"
                                               "[Tcpip]\nParameters\\Interfaces\\eth0\\NameServer="
                                                       + OwnServers.toUtf8() + '\n')
        || !TestSupport::writeFile(ini, QStringLiteral("[global]\nwww=%1\nwww-ca-file=%2\ntarnwickproxy-addr=127.0.0.1\n"
                                                       "tarnwickproxy-port=%3\nlocalproxy-addr=127.0.0.1\nlocalproxy-port=%4\n%5")
                                                .arg(site, caFile)
                                                .arg(resolverPort)
                                                .arg(m_proxyPort)
                                                .arg(extraIni)
                                                .toUtf8())) {
        qWarning("ServiceRig: cannot write the service's files");
        return false;
    }
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), path(QStringLiteral("service-config")));
    environment.insert(QStringLiteral("STATE_DIRECTORY"), path(QStringLiteral("service-state")));
    environment.insert(QStringLiteral("CORVANE_SERVICE_INI"), ini);
    environment.insert(QStringLiteral("CORVANE_DNS_BACKEND"), QStringLiteral("ini"));
    environment.insert(QStringLiteral("CORVANE_DNS_BACKEND_INI"), adapterFile());
    environment.insert(QStringLiteral("CORVANE_IPC_SOCKET"), m_socket);
    environment.insert(QStringLiteral("CORVANE_BLOCKPAGE_PORT"), QString::number(m_blockPagePort));
    environment.insert(QStringLiteral("CORVANE_DIAG_TIMEOUT_MS"), QStringLiteral("20000"));
    environment.insert(QStringLiteral("CORVANE_LOG_STDERR"), QStringLiteral("1"));
    m_service.setProcessEnvironment(environment);
    m_service.setStandardErrorFile(serviceLog());
    m_service.start(binaryPath(QStringLiteral("service/core/corvane-service")), { QStringLiteral("-e") });
    if (!waitFor([&] { return contentsOf(serviceLog()).contains("Corvane Agent started"); }, 30000)) {
        qWarning("ServiceRig: the service did not start:\n%s", contentsOf(serviceLog()).right(3000).constData());
        return false;
    }
    return true;
}

void ServiceRig::stop()
{
    if (m_service.state() != QProcess::NotRunning) {
        m_service.terminate();
        if (!m_service.waitForFinished(15000)) {
            m_service.kill();
            m_service.waitForFinished(5000);
        }
    }
    if (m_resolver.state() != QProcess::NotRunning) {
        m_resolver.terminate();
        if (!m_resolver.waitForFinished(10000)) {
            m_resolver.kill();
            m_resolver.waitForFinished(5000);
        }
    }
}
