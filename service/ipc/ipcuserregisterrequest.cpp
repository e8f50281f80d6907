#include "ipcuserregisterrequest.h"

#include "cabinet.h"

#include <QTimer>

IPCUserRegisterRequest::IPCUserRegisterRequest(Cabinet *cabinet, const QString &user,
                                               const QString &password, QObject *parent)
    : Request(parent)
    , m_cabinet(cabinet)
    , m_user(user)
    , m_password(password)
{
    QTimer::singleShot(0, this, &IPCUserRegisterRequest::proceed);
}

IPCUserRegisterRequest::~IPCUserRegisterRequest()
{
    if (!m_answer.isFired())
        m_answer.errback(Error(1, QStringLiteral("The service stopped before the registration ended")));
}

void IPCUserRegisterRequest::proceed()
{
    m_registration = m_cabinet->registerUser(m_user, m_password);
    if (!m_registration) {
        answerWith(Error(1, QStringLiteral("The registration could not be sent")));
        return;
    }
    connect(m_registration, &Request::finished, this, &IPCUserRegisterRequest::registrationFinished);
}

void IPCUserRegisterRequest::registrationFinished()
{
    const Error outcome = m_registration ? m_registration->error() : Error(Error::InvalidAnswerCode);
    if (outcome.isError()) {
        answerWith(outcome);
        return;
    }
    m_cabinet->setCredentials(m_user, m_password);
    answerWith(Error());
}

void IPCUserRegisterRequest::answerWith(const Error &error)
{
    if (error.isError())
        m_answer.errback(error);
    else
        m_answer.callback(true);
    requestFinished(error);
    deleteLater();
}
