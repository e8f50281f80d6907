#pragma once

#include "commandline.h"
#include "error.h"
#include "output.h"
#include "servicestate.h"
#include "statusview.h"

#include <QDateTime>
#include <QHash>
#include <QObject>
#include <QTimer>
#include <QVariant>

#include <functional>

class CabinetProfile;
class IpcConnection;
class PasswordSource;

// One run of corvanectl: connects to the service, waits until it has sent its state,
// runs the commands of the invocation one after the other on that one connection (so an
// "unlock" holds for the commands after it), prints what they produce and ends with
// finished(exit status), exactly once.
//
// Nothing waits without a bound: connecting and every call have the invocation's
// time-out ('report' at least ReportTimeoutSeconds), and a password prompt its own. The
// first failure ends the run; the commands after it are not run.
class CtlSession : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY(CtlSession)

public:
    // The diagnostics report takes up to about 110 s in the service (its tools and
    // checks), with its DNS probe's 30 s on top in the worst case.
    static constexpr int ReportTimeoutSeconds = 180;
    // How long 'status' waits after the greeting for the identification, which the
    // service sends one pass of its event loop later (and not at all while it has none).
    static constexpr int IdentificationGraceMs = 500;
    // How long a switch waits for the broadcast that confirms it.
    static constexpr int ConfirmationMs = 2000;

    explicit CtlSession(const Invocation &invocation, QObject *parent = nullptr);
    ~CtlSession() override;

    void start();
    // SIGINT and the like: 'watch' ends with status 0, anything else with 130.
    void interrupt();

Q_SIGNALS:
    void finished(int exitCode);

private:
    using Result = std::function<void(const QVariant &result)>;

    // ctlsession.cpp: the connection and the run
    void socketConnected();
    void socketFailed();
    void greetingDone();
    void runNext();
    void commandDone();
    void notificationReceived(const QString &method, const QVariantList &params);
    void call(const char *method, const QVariantList &params, Result done, int timeoutSeconds = 0);
    void waitFor(std::function<bool()> condition, int milliseconds, std::function<void(bool)> done);
    void askPassword(const QString &login, const QString &prompt, std::function<void(const QString &)> done);
    void failCall(const QString &method, const ::Error &error, int timeoutSeconds);
    void fail(int exitCode, const ::Error &error, const QString &text);
    void finish(int exitCode);
    void addAction(QVariantMap action, const QString &sentence);
    // The members of a list edit's report: the profile and the list, and with an entry id
    // also the entry's domain and id.
    QVariantMap listAction(quint32 profileId, int type, const QString &domain = QString(),
                           quint32 entryId = 0) const;
    QString listPlace(quint32 profileId, int type) const;
    const CabinetProfile *requireProfile(const QString &nameOrId);
    QString connectionLostText() const;

    // ctlaccount.cpp
    void runStatus();
    void runLogin();
    void runUnlock();
    void runPause();
    void runResume();
    void runProfiles();
    void runUse();
    void switchFiltering(bool on, int minutes);

    // ctllists.cpp
    void runLists();
    void runListAdd();
    void runListRemove();
    void runListClear();
    void runProtect();
    void fetchDomains(quint32 profileId, int type, std::function<void(const CabinetDomains &)> done);

    // ctlwatch.cpp
    void runReport();
    void runWatch();
    struct Received
    {
        QString method;
        QVariantList params;
        QDateTime time;
        ::Error error;
        QString description; // the human line, read against the state it arrived in
    };
    Received received(const QString &method, const QVariantList &params, const ::Error &error) const;
    void printNotification(const Received &received);

    Invocation m_invocation;
    QString m_socketPath;
    Output m_output;
    ServiceState m_state;
    StatusView::Facts m_facts;
    IpcConnection *m_connection;
    PasswordSource *m_passwords = nullptr;
    QHash<QString, QString> m_passwordsByLogin;
    QTimer m_connectTimer;
    QTimer m_reportProgress;
    Command m_command;
    int m_next = 0;
    int m_exitCode = 0;
    bool m_connected = false;
    bool m_greeted = false;
    bool m_finished = false;
    bool m_watching = false;
    // Notifications kept for 'watch' until it starts, so that it shows them all.
    QList<Received> m_backlog;
};
