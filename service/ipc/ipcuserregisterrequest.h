#pragma once

#include "deferred.h"
#include "request.h"

#include <QPointer>
#include <QString>

class Cabinet;
class CabinetRequest;

// A desktop client's "registerUser": registers the account with the account service and,
// when that succeeded, signs in with the new credentials and answers true; otherwise it
// answers the registration's error. Starts from the event loop (proceed() on a zero-delay
// timer) and finishes once; it stays a child of its parent (the server) afterwards and is
// deleted with it or once it finished.
class IPCUserRegisterRequest : public Request
{
    Q_OBJECT
    Q_DISABLE_COPY(IPCUserRegisterRequest)

public:
    IPCUserRegisterRequest(Cabinet *cabinet, const QString &user, const QString &password, QObject *parent);
    ~IPCUserRegisterRequest() override;

    Deferred answer() const { return m_answer; }

public slots:
    void proceed();
    void registrationFinished();

private:
    void answerWith(const Error &error);

    Cabinet *m_cabinet;
    QPointer<CabinetRequest> m_registration;
    Deferred m_answer;
    QString m_user;
    QString m_password;
};
