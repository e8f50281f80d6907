#include "cabinetschedule.h"

#include "recordreader_p.h"

#include <QTime>
#include <QVariantList>
#include <QVariantMap>

using namespace RecordReader;

const QString CabinetScheduleDay::ProfileOnKey = QStringLiteral("is_profile_on");
const QString CabinetScheduleDay::TimeFromKey = QStringLiteral("time_from");
const QString CabinetScheduleDay::TimeToKey = QStringLiteral("time_to");
const QString CabinetScheduleDay::EndOfDay = QStringLiteral("24:00");

namespace {

const QString TimeFormat = QStringLiteral("hh:mm");
const QString StartOfDay = QStringLiteral("00:00");

// Only the exact five-character form is taken, so that what is stored is always "hh:mm"
// (QTime would also take "7:05").
bool isTimeOfDay(const QVariant &value)
{
    if (value.userType() != QMetaType::QString)
        return false;
    const QString text = value.toString();
    return text.size() == 5 && QTime::fromString(text, TimeFormat).isValid();
}

} // namespace

bool CabinetScheduleDay::fromVariant(const QVariant &value)
{
    if (!isMap(value))
        return false;
    const QVariantMap map = value.toMap();
    const QVariant profileOn = map.value(ProfileOnKey);
    if (!isBooleanType(profileOn))
        return false;
    m_profileOn = profileOn.toBool();
    const QVariant from = map.value(TimeFromKey);
    if (isTimeOfDay(from))
        m_from = from.toString();
    const QVariant to = map.value(TimeToKey);
    if (isTimeOfDay(to) || (to.userType() == QMetaType::QString && to.toString() == EndOfDay))
        m_to = to.toString();
    return !m_from.isEmpty() && !m_to.isEmpty();
}

QVariant CabinetScheduleDay::toVariant() const
{
    QVariantMap map;
    map.insert(ProfileOnKey, m_profileOn);
    map.insert(TimeFromKey, m_from);
    map.insert(TimeToKey, m_to);
    return map;
}

bool CabinetScheduleDay::operator==(const CabinetScheduleDay &other) const
{
    return m_profileOn == other.m_profileOn && m_from == other.m_from && m_to == other.m_to;
}

bool CabinetSchedule::fromVariant(const QVariant &value)
{
    clear();
    if (!isList(value))
        return false;
    const QVariantList items = value.toList();
    if (items.isEmpty())
        return true;
    if (items.size() != DaysPerWeek)
        return false;
    return readList(value, this, [](const QVariant &item, CabinetScheduleDay *day) {
        *day = CabinetScheduleDay(true, StartOfDay, CabinetScheduleDay::EndOfDay);
        return day->fromVariant(item);
    });
}

QVariant CabinetSchedule::toVariant() const
{
    return writeList(*this);
}

bool CabinetProfileActivity::fromVariant(const QVariant &value)
{
    if (!isList(value))
        return false;
    const QVariantList items = value.toList();
    if (items.size() < 2 || !isBooleanType(items.at(0)))
        return false;
    bool ok = false;
    const qint32 minutes = toInt32(items.at(1), &ok);
    if (!ok || minutes < MinimumMinutes)
        return false;
    m_active = items.at(0).toBool();
    m_minutes = minutes;
    return true;
}

QVariant CabinetProfileActivity::toVariant() const
{
    return QVariantList{m_active, m_minutes};
}

bool CabinetProfileActivity::operator==(const CabinetProfileActivity &other) const
{
    return m_active == other.m_active && m_minutes == other.m_minutes;
}
