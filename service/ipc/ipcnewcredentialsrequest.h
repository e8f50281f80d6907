#pragma once

#include "deferred.h"

#include <QObject>
#include <QString>

class Cabinet;

// A desktop client's "setCredentials": gives the account state the new credentials and
// answers true once the account is connected, or the account state's error. Starts from
// the event loop (proceed() on a zero-delay timer), answers exactly once, then deletes
// itself. Lives under the server, so it ends even when the client has gone.
class IPCNewCredentialsRequest : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY(IPCNewCredentialsRequest)

public:
    IPCNewCredentialsRequest(Cabinet *cabinet, const QString &user, const QString &password, QObject *parent);
    ~IPCNewCredentialsRequest() override;

    Deferred deferred() const { return m_deferred; }

public slots:
    void proceed();
    void cabinet_error();
    void cabinet_stateChanged();

private:
    void finish();

    Cabinet *m_cabinet;
    QString m_user;
    QString m_password;
    Deferred m_deferred;
};
