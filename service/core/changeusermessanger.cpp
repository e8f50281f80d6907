#include "changeusermessanger.h"

#include "cabinet.h"
#include "consoleuser.h"

#include <QSettings>
#include <QTimer>

const QString ChangeUserMessanger::KeyPrefix = QStringLiteral("user-profile-mapping-");
const QString ChangeUserMessanger::OlderKeySuffix = QStringLiteral("userstoprofmap");

namespace {

// "DOMAIN\anna" is anna: console users carry no domain part.
QString shortName(const QString &name)
{
    if (!name.contains(QLatin1Char('\\')))
        return name;
    return name.split(QLatin1Char('\\')).value(1);
}

} // namespace

ChangeUserMessanger::ChangeUserMessanger(Cabinet *cabinet, ConsoleUser *console, QObject *parent)
    : QObject(parent)
    , m_cabinet(cabinet)
    , m_console(console ? console : ConsoleUser::createSystemConsoleUser())
    , m_timer(new QTimer(this))
{
    m_timer->setObjectName(QStringLiteral("consoleUserTimer"));
    m_timer->setInterval(CheckIntervalMs);
    connect(m_timer, &QTimer::timeout, this, &ChangeUserMessanger::CheckWhetherUserHasChanged);
    // Each account has its own binding.
    connect(m_cabinet, &Cabinet::currentUserChanged, this, &ChangeUserMessanger::load);
    load();
}

ChangeUserMessanger::~ChangeUserMessanger() = default;

void ChangeUserMessanger::setEnabled(bool enabled)
{
    if (!enabled) {
        m_timer->stop();
        return;
    }
    CheckWhetherUserHasChanged();
    m_timer->start();
}

bool ChangeUserMessanger::isEnabled() const
{
    return m_timer->isActive();
}

QVariantMap ChangeUserMessanger::userToProfileMap() const
{
    QVariantMap map;
    for (auto it = m_binding.cbegin(); it != m_binding.cend(); ++it)
        map.insert(it.key(), it.value());
    return map;
}

QString ChangeUserMessanger::currentKey() const
{
    return KeyPrefix + m_cabinet->userName();
}

QVariantMap ChangeUserMessanger::storedMap() const
{
    return QSettings().value(currentKey()).toMap();
}

bool ChangeUserMessanger::save(const QVariantMap &map) const
{
    QSettings store;
    store.setValue(currentKey(), map);
    store.sync();
    return store.status() == QSettings::NoError;
}

void ChangeUserMessanger::rebuild(const QVariantMap &map)
{
    m_binding.clear();
    for (auto it = map.cbegin(); it != map.cend(); ++it) {
        const QString user = shortName(it.key());
        if (!user.isEmpty())
            m_binding.insert(user, it.value().toString());
    }
}

bool ChangeUserMessanger::convertOlderKey()
{
    const QString olderKey = m_cabinet->userName() + OlderKeySuffix;
    QSettings store;
    if (!store.contains(olderKey))
        return false;
    QVariantMap map;
    const QStringList records = store.value(olderKey).toString().split(QLatin1Char('|'), Qt::SkipEmptyParts);
    for (const QString &record : records) {
        const QStringList pieces = record.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (pieces.size() != 2) {
            qWarning("Invalid user-to-profile binding record");
            continue;
        }
        map.insert(pieces.at(0), pieces.at(1));
    }
    return save(map);
}

void ChangeUserMessanger::load()
{
    m_binding.clear();
    if (!QSettings().contains(currentKey())) {
        qWarning("User-to-profile binding isn't defined");
        if (!convertOlderKey())
            return;
    }
    rebuild(storedMap());
}

void ChangeUserMessanger::CheckWhetherUserHasChanged()
{
    const QString user = m_console->userName();
    if (user == m_currentUser)
        return;
    m_currentUser = user;
    emit UserWasChanged(m_binding.value(user));
}

void ChangeUserMessanger::UpdateUserToProfMap(QHash<QString, QString> hash)
{
    QVariantMap map;
    for (auto it = hash.cbegin(); it != hash.cend(); ++it)
        map.insert(it.key(), it.value());
    const QString before = m_binding.value(m_currentUser);
    save(map);
    rebuild(map);
    const QString after = m_binding.value(m_currentUser);
    if (after != before)
        emit UserWasChanged(after);
    // The other desktop clients show the binding too.
    emit UserToProfMapWasChanged();
}

void ChangeUserMessanger::ProfilesChanged()
{
    const CabinetProfiles &profiles = m_cabinet->profileList();
    // An empty list is an account not read yet (or signed out), not one whose profiles
    // were all deleted: pruning then would wipe every binding.
    if (!profiles.isEmpty()) {
        QVariantMap map = storedMap();
        bool removed = false;
        for (auto it = map.begin(); it != map.end();) {
            if (profiles.hasName(it.value().toString())) {
                ++it;
            } else {
                it = map.erase(it);
                removed = true;
            }
        }
        if (removed) {
            save(map);
            load();
        }
    }
    emit UserToProfMapWasChanged();
}
