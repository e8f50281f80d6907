#include "ipcnewcredentialsrequest.h"

#include "cabinet.h"

#include <QTimer>

IPCNewCredentialsRequest::IPCNewCredentialsRequest(Cabinet *cabinet, const QString &user,
                                                   const QString &password, QObject *parent)
    : QObject(parent)
    , m_cabinet(cabinet)
    , m_user(user)
    , m_password(password)
{
    QTimer::singleShot(0, this, &IPCNewCredentialsRequest::proceed);
}

IPCNewCredentialsRequest::~IPCNewCredentialsRequest()
{
    // The service stops before the account answered: the client still gets an answer.
    if (!m_deferred.isFired())
        m_deferred.errback(Error(1, QStringLiteral("The service stopped before the sign-in ended")));
}

void IPCNewCredentialsRequest::proceed()
{
    if (!m_cabinet->setCredentials(m_user, m_password)) {
        m_deferred.callback(true);
        finish();
        return;
    }
    if (m_cabinet->lastError().isError()) {
        m_deferred.errback(m_cabinet->lastError());
        finish();
        return;
    }
    connect(m_cabinet, &Cabinet::error, this, &IPCNewCredentialsRequest::cabinet_error);
    connect(m_cabinet, &Cabinet::stateChanged, this, &IPCNewCredentialsRequest::cabinet_stateChanged);
}

void IPCNewCredentialsRequest::cabinet_error()
{
    if (m_deferred.isFired())
        return;
    m_deferred.errback(m_cabinet->lastError());
    finish();
}

void IPCNewCredentialsRequest::cabinet_stateChanged()
{
    if (m_deferred.isFired() || m_cabinet->state() != Cabinet::Connected)
        return;
    m_deferred.callback(true);
    finish();
}

void IPCNewCredentialsRequest::finish()
{
    disconnect(m_cabinet, nullptr, this, nullptr);
    deleteLater();
}
