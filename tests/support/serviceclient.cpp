#include "serviceclient.h"

#include "ipcconnection.h"
#include "jsonrpccall.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QLocalSocket>
#include <QPointer>
#include <QTimer>

ServiceClient::ServiceClient(QObject *parent)
    : QObject(parent)
    , m_connection(new IpcConnection(this))
{
    m_connection->setJsonRpcHandler(this);
}

ServiceClient::~ServiceClient() = default;

bool ServiceClient::connectTo(const QString &socketPath, int milliseconds)
{
    m_connection->socket()->connectToServer(socketPath);
    return m_connection->socket()->waitForConnected(milliseconds);
}

ServiceClient::Answer ServiceClient::call(const char *method, const QVariantList &params, int milliseconds)
{
    QPointer<JsonRPCCall> pending = m_connection->call(method, params);
    Answer answer { Error(2, QStringLiteral("no answer in time")), QVariant() };
    QEventLoop loop;
    connect(pending, &Request::finished, &loop, [&] {
        answer = { pending->error(), pending->result() };
        loop.quit();
    });
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
    return answer;
}

void ServiceClient::notify(const char *method, const QVariantList &params)
{
    m_connection->notify(method, params);
}

void ServiceClient::note(const char *method, const QVariantList &params)
{
    notes.append({ QString::fromLatin1(method), params });
    Q_EMIT noted(QString::fromLatin1(method));
}

QStringList ServiceClient::methods() const
{
    QStringList names;
    for (const Note &n : notes)
        names.append(n.method);
    return names;
}

int ServiceClient::count(const QString &method) const
{
    return methods().count(method);
}

bool ServiceClient::waitFor(const QString &method, int milliseconds, int after)
{
    const int wanted = (after < 0 ? 0 : after) + 1;
    QElapsedTimer timer;
    timer.start();
    while (count(method) < wanted && timer.elapsed() < milliseconds) {
        QEventLoop loop;
        connect(this, &ServiceClient::noted, &loop, &QEventLoop::quit);
        QTimer::singleShot(int(qMax<qint64>(1, milliseconds - timer.elapsed())), &loop, &QEventLoop::quit);
        loop.exec();
    }
    return count(method) >= wanted;
}

QVariantList ServiceClient::last(const QString &method) const
{
    for (int i = notes.size() - 1; i >= 0; --i) {
        if (notes.at(i).method == method)
            return notes.at(i).params;
    }
    return QVariantList();
}
