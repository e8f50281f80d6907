#include "schedule.h"

#include <QGridLayout>
#include <QLabel>
#include <QLocale>
#include <QPainter>
#include <QTime>

namespace {

// Minutes since midnight of "hh:mm", 1440 for "24:00"; -1 when it is neither.
int minutesOf(const QString &text)
{
    if (text == CabinetScheduleDay::EndOfDay)
        return 24 * 60;
    const QTime time = QTime::fromString(text, QStringLiteral("hh:mm"));
    return time.isValid() ? time.hour() * 60 + time.minute() : -1;
}

} // namespace

Schedule::Schedule(QWidget *parent)
    : QWidget(parent)
{
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(4);
    auto *ruler = new TimeRuler(this);
    ruler->setObjectName(QStringLiteral("scheduleRuler_"));
    grid->addWidget(ruler, 0, 1);
    // The account sends the days from Monday on.
    const QLocale locale;
    for (int day = 0; day < CabinetSchedule::DaysPerWeek; ++day) {
        auto *name = new QLabel(locale.dayName(day + 1, QLocale::ShortFormat), this);
        auto *slider = new TimeSlider(this);
        slider->setObjectName(QStringLiteral("scheduleDay%1_").arg(day));
        grid->addWidget(name, day + 1, 0);
        grid->addWidget(slider, day + 1, 1);
        m_names << name;
        m_days << slider;
    }
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(CabinetSchedule::DaysPerWeek + 1, 1);
}

void Schedule::setSchedule(const CabinetSchedule &schedule)
{
    for (int day = 0; day < m_days.size(); ++day)
        m_days.at(day)->setHours(day < schedule.size() ? hoursOf(schedule.at(day)) : 0);
}

quint32 Schedule::hours(int day) const
{
    return day >= 0 && day < m_days.size() ? m_days.at(day)->hours() : 0;
}

quint32 Schedule::hoursOf(const CabinetScheduleDay &day)
{
    const int from = minutesOf(day.timeFrom());
    const int to = minutesOf(day.timeTo());
    if (!day.isProfileOn() || from < 0 || to <= from)
        return 0;
    quint32 hours = 0;
    for (int hour = 0; hour < HoursPerDay; ++hour) {
        if (hour * 60 < to && (hour + 1) * 60 > from)
            hours |= 1u << hour;
    }
    return hours;
}

Schedule::TimeRuler::TimeRuler(QWidget *parent)
    : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

QSize Schedule::TimeRuler::sizeHint() const
{
    const QFontMetrics metrics = fontMetrics();
    const int cell = qMax(5, metrics.horizontalAdvance(QLatin1Char('x'))) + metrics.horizontalAdvance(QStringLiteral("xx"));
    return QSize(HoursPerDay * cell, metrics.height() + 7);
}

void Schedule::TimeRuler::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    const QFontMetrics metrics = fontMetrics();
    const qreal cell = qreal(width()) / HoursPerDay;
    for (int hour = 1; hour < HoursPerDay; ++hour) {
        const QString label = QString::number(hour);
        const qreal x = hour * cell;
        const int textWidth = metrics.horizontalAdvance(label);
        painter.drawText(QPointF(x - textWidth / 2.0, metrics.ascent() + 1), label);
        painter.drawLine(QPointF(x, height() - 4), QPointF(x, height()));
    }
}

Schedule::TimeSlider::TimeSlider(QWidget *parent)
    : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void Schedule::TimeSlider::setHours(quint32 hours)
{
    if (hours == m_hours)
        return;
    m_hours = hours;
    update();
}

QSize Schedule::TimeSlider::sizeHint() const
{
    return QSize(HoursPerDay * 12, qMax(18, fontMetrics().height() + 2));
}

void Schedule::TimeSlider::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const qreal cell = qreal(width()) / HoursPerDay;
    const QColor on(89, 178, 89);
    const QColor off(234, 238, 242);
    const QColor line(200, 208, 214);
    for (int hour = 0; hour < HoursPerDay; ++hour) {
        const QRectF rect(hour * cell, 0, cell, height() - 1);
        painter.fillRect(rect.adjusted(0.5, 0.5, -0.5, 0), (m_hours >> hour) & 1u ? on : off);
        painter.setPen(line);
        painter.drawLine(rect.topLeft(), rect.bottomLeft());
    }
    painter.drawRect(QRectF(0, 0, width() - 1, height() - 1));
}
