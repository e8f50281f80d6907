#pragma once

// A desktop client's end of the IPC socket for tests: connects over IpcConnection, records
// every notification of the service's catalogue in the order received, and makes calls
// that a test waits for.

#include "error.h"

#include <QObject>
#include <QStringList>
#include <QVariant>

class IpcConnection;

class ServiceClient : public QObject
{
    Q_OBJECT

public:
    struct Note
    {
        QString method;
        QVariantList params;
    };
    struct Answer
    {
        Error error;
        QVariant result;
    };

    explicit ServiceClient(QObject *parent = nullptr);
    ~ServiceClient() override;

    bool connectTo(const QString &socketPath, int milliseconds = 5000);
    IpcConnection *connection() const { return m_connection; }

    // Calls and waits for the answer (code 2 after milliseconds without one).
    Answer call(const char *method, const QVariantList &params = {}, int milliseconds = 10000);
    void notify(const char *method, const QVariantList &params = {});

    QList<Note> notes;
    QStringList methods() const;
    int count(const QString &method) const;
    // The parameters of the last notification of that method, waiting for it up to
    // milliseconds when there is none yet (or for a new one, when after is given).
    bool waitFor(const QString &method, int milliseconds = 10000, int after = -1);
    QVariantList last(const QString &method) const;

public Q_SLOTS:
    void setSettings(const QVariant &a) { note("setSettings", { a }); }
    void setNetworks(const QVariant &a) { note("setNetworks", { a }); }
    void setCredentials(const QVariant &a, const QVariant &b) { note("setCredentials", { a, b }); }
    void setSettingsLocked(const QVariant &a) { note("setSettingsLocked", { a }); }
    void setGlobalFiltering(const QVariant &a) { note("setGlobalFiltering", { a }); }
    void setUserInfo(const QVariant &a) { note("setUserInfo", { a }); }
    void setProfiles(const QVariant &a, const QVariant &b) { note("setProfiles", { a, b }); }
    void setProfileScheduleActivity(const QVariant &a, const QVariant &b) { note("setProfileScheduleActivity", { a, b }); }
    void setSelectedProfile(const QVariant &a) { note("setSelectedProfile", { a }); }
    void setUserFilter(const QVariant &a, const QVariant &b) { note("setUserFilter", { a, b }); }
    void setDomains(const QVariant &a, const QVariant &b, const QVariant &c) { note("setDomains", { a, b, c }); }
    void setUserToProfMap(const QVariant &a) { note("setUserToProfMap", { a }); }
    void setIdentification(const QVariant &a, const QVariant &b) { note("setIdentification", { a, b }); }
    void setIdentificationError(const QVariant &a, const QVariant &b) { note("setIdentificationError", { a, b }); }

Q_SIGNALS:
    void noted(const QString &method);

private:
    void note(const char *method, const QVariantList &params);

    IpcConnection *m_connection;
};
