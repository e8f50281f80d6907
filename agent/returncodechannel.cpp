#include "returncodechannel.h"

#include "singleinstance.h"

#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QLoggingCategory>
#include <QPointer>
#include <QStandardPaths>
#include <QtEndian>

Q_LOGGING_CATEGORY(lcReturnCode, "corvane.agent.returncode")

namespace {

constexpr int CodeBytes = 4;

QString socketPathFor(const QString &name, const QString &directory)
{
    const QString base = directory.isEmpty()
        ? QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation)
        : directory;
    return base + QLatin1Char('/') + name;
}

QByteArray encode(qint32 code)
{
    QByteArray bytes(CodeBytes, '\0');
    qToLittleEndian<qint32>(code, bytes.data());
    return bytes;
}

} // namespace

QString ReturnCode::defaultName()
{
    return SingleInstance::userInstanceId() + QStringLiteral(".returncode");
}

ReturnCodeListener::ReturnCodeListener(const QString &name, const QString &directory,
                                       QObject *parent)
    : QObject(parent)
    , m_socketPath(socketPathFor(name, directory))
{
    connect(&m_server, &QLocalServer::newConnection, this, &ReturnCodeListener::server_newConnection);
}

ReturnCodeListener::~ReturnCodeListener()
{
    if (m_server.isListening())
        m_server.close();
}

bool ReturnCodeListener::listen()
{
    QDir().mkpath(QFileInfo(m_socketPath).absolutePath());
    m_lock = std::make_unique<QLockFile>(m_socketPath + QStringLiteral(".lock"));
    m_lock->setStaleLockTime(0);
    bool ok = m_lock->tryLock(0);
    if (ok) {
        QLocalServer::removeServer(m_socketPath);
        m_server.setSocketOptions(QLocalServer::UserAccessOption);
        ok = m_server.listen(m_socketPath);
        if (!ok)
            qCWarning(lcReturnCode, "cannot listen on %s: %s", qPrintable(m_socketPath),
                      qPrintable(m_server.errorString()));
    } else {
        qCWarning(lcReturnCode, "another password check is waiting on %s", qPrintable(m_socketPath));
    }
    if (!ok)
        QMetaObject::invokeMethod(this, &ReturnCodeListener::failed, Qt::QueuedConnection);
    return ok;
}

void ReturnCodeListener::server_newConnection()
{
    while (QLocalSocket *socket = m_server.nextPendingConnection()) {
        socket->setParent(this);
        socket->setReadBufferSize(CodeBytes);
        auto read = [this, socket] {
            if (socket->bytesAvailable() < CodeBytes)
                return;
            const QByteArray bytes = socket->read(CodeBytes);
            socket->disconnectFromServer();
            const qint32 code = qFromLittleEndian<qint32>(bytes.constData());
            if (code != ReturnCode::Undecided && !m_done) {
                m_done = true;
                Q_EMIT codeReceived(code);
            }
        };
        connect(socket, &QLocalSocket::readyRead, this, read);
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        read();
    }
}

namespace ReturnCodeWriter {

void write(qint32 code, const QString &name, const QString &directory)
{
    auto *socket = new QLocalSocket;
    const QByteArray bytes = encode(code);
    QObject::connect(socket, &QLocalSocket::connected, socket, [socket, bytes] {
        socket->write(bytes);
        socket->disconnectFromServer();
    });
    QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    QObject::connect(socket, &QLocalSocket::errorOccurred, socket, [socket] {
        if (socket->state() == QLocalSocket::UnconnectedState)
            socket->deleteLater();
    });
    socket->connectToServer(socketPathFor(name, directory));
}

bool writeNow(qint32 code, int timeoutMs, const QString &name, const QString &directory)
{
    QLocalSocket socket;
    socket.connectToServer(socketPathFor(name, directory));
    if (!socket.waitForConnected(timeoutMs))
        return false;
    socket.write(encode(code));
    return socket.waitForBytesWritten(timeoutMs);
}

} // namespace ReturnCodeWriter
