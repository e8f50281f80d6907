#pragma once

#include "cabinetschedule.h"

#include <QWidget>

class QLabel;

// A profile's weekly schedule: one TimeSlider per day (24 hour cells, one bit per hour,
// filled while the profile is on) under a TimeRuler that labels the hours 1 to 23.
//
// It shows what the account holds and does not edit it: a day of the account's schedule
// is one range of hours, which hour cells toggled one by one could not be sent as.
class Schedule : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY(Schedule)

public:
    class TimeSlider;
    class TimeRuler;

    static constexpr int HoursPerDay = 24;

    explicit Schedule(QWidget *parent = nullptr);

    // An empty schedule shows every hour off.
    void setSchedule(const CabinetSchedule &schedule);
    // Bit h set: the profile is on from h:00 to h+1:00 of that day (0 is the first day the
    // account sends).
    quint32 hours(int day) const;
    // The hours of a day as its cells show them: those that [from, to) touches, when on.
    static quint32 hoursOf(const CabinetScheduleDay &day);

private:
    QList<TimeSlider *> m_days;
    QList<QLabel *> m_names;
};

// The hour labels above the sliders; each label is centred at its hour boundary.
class Schedule::TimeRuler : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY(TimeRuler)

public:
    explicit TimeRuler(QWidget *parent = nullptr);

    // Width: 24 times (the wider of 5 pixels and the width of "x", plus the width of "xx");
    // height: the font's height plus 7.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent *event) override;
};

// One day: 24 hour cells.
class Schedule::TimeSlider : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY(TimeSlider)

public:
    explicit TimeSlider(QWidget *parent = nullptr);

    quint32 hours() const { return m_hours; }
    void setHours(quint32 hours);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    quint32 m_hours = 0;
};
