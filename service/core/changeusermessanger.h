#pragma once

#include <QHash>
#include <QObject>
#include <QString>
#include <QVariantMap>

#include <memory>

class Cabinet;
class ConsoleUser;
class QTimer;

// Binds local user names to profile names of the account, keeps the binding per account
// login in the service's settings store, watches who is at the console, and tells the
// orchestration the profile of the user who has just come (UserWasChanged; an empty name
// when that user has no binding).
//
// Stored under "user-profile-mapping-<login>" as a map from user name to profile name,
// names as the desktop client gave them; an older text form under "<login>userstoprofmap"
// is carried over once and left in place. In memory, a "DOMAIN\user" name counts as "user".
// Idle until enabled; then the console user is checked at once and every 10 seconds.
class ChangeUserMessanger : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY(ChangeUserMessanger)

public:
    static constexpr int CheckIntervalMs = 10000;
    static const QString KeyPrefix;      // "user-profile-mapping-"
    static const QString OlderKeySuffix; // "userstoprofmap"

    // Takes console (null: the machine's logind). cabinet must outlive the object.
    ChangeUserMessanger(Cabinet *cabinet, ConsoleUser *console, QObject *parent = nullptr);
    ~ChangeUserMessanger() override;

    void setEnabled(bool enabled);
    bool isEnabled() const;

    // The binding, short user names to profile names.
    QVariantMap userToProfileMap() const;
    QString currentUser() const { return m_currentUser; }

signals:
    void UserWasChanged(QString Role);
    void UserToProfMapWasChanged();

public slots:
    void UpdateUserToProfMap(QHash<QString, QString> hash);
    void CheckWhetherUserHasChanged();
    void ProfilesChanged();
    // The account login changed: its own binding is loaded.
    void load();

private:
    QString currentKey() const;
    QVariantMap storedMap() const;
    bool convertOlderKey();
    bool save(const QVariantMap &map) const;
    void rebuild(const QVariantMap &map);

    Cabinet *m_cabinet;
    std::unique_ptr<ConsoleUser> m_console;
    QHash<QString, QString> m_binding;
    QString m_currentUser;
    QTimer *m_timer;
};
