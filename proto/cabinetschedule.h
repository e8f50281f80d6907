#pragma once

#include "lodestar_export.h"

#include <QMetaType>
#include <QString>
#include <QVariant>
#include <QVector>

// One weekday of a profile's schedule:
//   {"is_profile_on": bool, "time_from": "hh:mm", "time_to": "hh:mm" or "24:00"}.
class LODESTAR_EXPORT CabinetScheduleDay
{
public:
    static const QString ProfileOnKey; // "is_profile_on"
    static const QString TimeFromKey;  // "time_from"
    static const QString TimeToKey;    // "time_to"
    static const QString EndOfDay;     // "24:00"

    CabinetScheduleDay() = default;
    CabinetScheduleDay(bool profileOn, const QString &from, const QString &to)
        : m_from(from), m_to(to), m_profileOn(profileOn)
    {
    }

    bool isProfileOn() const { return m_profileOn; }
    void setProfileOn(bool on) { m_profileOn = on; }
    QString timeFrom() const { return m_from; }
    void setTimeFrom(const QString &from) { m_from = from; }
    QString timeTo() const { return m_to; }
    void setTimeTo(const QString &to) { m_to = to; }

    // Needs a map whose "is_profile_on" is a boolean. A time that is not a valid "hh:mm"
    // ("24:00" allowed for "time_to") leaves its field as it was; true when both times are
    // then non-empty.
    bool fromVariant(const QVariant &value);
    QVariant toVariant() const;

    bool operator==(const CabinetScheduleDay &other) const;
    bool operator!=(const CabinetScheduleDay &other) const { return !(*this == other); }

private:
    QString m_from;
    QString m_to;
    bool m_profileOn = false;
};

// A week of a profile's schedule: empty, or exactly seven days in the order the account
// service sends them.
class LODESTAR_EXPORT CabinetSchedule : public QVector<CabinetScheduleDay>
{
public:
    static constexpr int DaysPerWeek = 7;

    // An empty list gives an empty schedule; otherwise exactly seven valid days, each read
    // over the defaults profile on, "00:00" and "24:00". On failure the schedule is empty.
    bool fromVariant(const QVariant &value);
    QVariant toVariant() const;
};

// Whether the current profile's schedule has it active now, and the minutes after which
// to ask again. JSON form: [active, minutes].
class LODESTAR_EXPORT CabinetProfileActivity
{
public:
    // Fewer minutes than this are refused: the account state would otherwise poll the
    // account service in a tight loop.
    static constexpr qint32 MinimumMinutes = 10;

    CabinetProfileActivity() = default;
    CabinetProfileActivity(bool active, qint32 minutes) : m_minutes(minutes), m_active(active) {}

    bool isActive() const { return m_active; }
    qint32 minutes() const { return m_minutes; }

    // Needs a list of at least two elements: a boolean, then an integer of at least 10.
    // On failure the record is left unchanged.
    bool fromVariant(const QVariant &value);
    QVariant toVariant() const;

    bool operator==(const CabinetProfileActivity &other) const;
    bool operator!=(const CabinetProfileActivity &other) const { return !(*this == other); }

private:
    qint32 m_minutes = 0;
    bool m_active = false;
};

Q_DECLARE_METATYPE(CabinetScheduleDay)
Q_DECLARE_METATYPE(CabinetSchedule)
Q_DECLARE_METATYPE(CabinetProfileActivity)
