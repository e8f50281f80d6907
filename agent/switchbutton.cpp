#include "switchbutton.h"

#include <QPainter>

SwitchButton::SwitchButton(QWidget *parent)
    : QAbstractButton(parent)
{
    setCheckable(true);
    setCursor(Qt::PointingHandCursor);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setPalette(switchPalette(palette()));
}

QSize SwitchButton::sizeHint() const
{
    return QSize(52, 32);
}

QPalette SwitchButton::switchPalette(const QPalette &base)
{
    QPalette palette = base;
    palette.setColor(QPalette::Disabled, QPalette::Button, QColor(179, 179, 179));
    palette.setColor(QPalette::Inactive, QPalette::Button, Qt::white);
    palette.setColor(QPalette::Active, QPalette::Button, Qt::white);
    palette.setColor(QPalette::Disabled, QPalette::Base, QColor(204, 204, 204));
    palette.setColor(QPalette::Inactive, QPalette::Base, QColor(89, 178, 89));
    palette.setColor(QPalette::Active, QPalette::Base, QColor(63, 153, 63));
    palette.setColor(QPalette::Inactive, QPalette::AlternateBase, QColor(234, 110, 80));
    palette.setColor(QPalette::Active, QPalette::AlternateBase, QColor(211, 82, 51));
    return palette;
}

QColor SwitchButton::trackColor() const
{
    const QPalette &colors = palette();
    if (!isEnabled())
        return colors.color(QPalette::Disabled, QPalette::Base);
    if (isDown())
        return colors.color(QPalette::Active, isChecked() ? QPalette::AlternateBase : QPalette::Base);
    if (m_hovered)
        return colors.color(QPalette::Active, isChecked() ? QPalette::Base : QPalette::AlternateBase);
    return colors.color(QPalette::Inactive, isChecked() ? QPalette::Base : QPalette::AlternateBase);
}

void SwitchButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);

    const QSize track = sizeHint().boundedTo(size());
    const QRectF trackRect((width() - track.width()) / 2.0, (height() - track.height()) / 2.0,
                           track.width(), track.height());
    const qreal radius = trackRect.height() / 2.0;
    painter.setBrush(trackColor());
    painter.drawRoundedRect(trackRect, radius, radius);

    const qreal margin = 3.0;
    const qreal knob = trackRect.height() - 2 * margin;
    const qreal x = isChecked() ? trackRect.right() - margin - knob : trackRect.left() + margin;
    const QPalette::ColorGroup group = isEnabled() ? QPalette::Inactive : QPalette::Disabled;
    painter.setBrush(palette().color(group, QPalette::Button));
    painter.drawEllipse(QRectF(x, trackRect.top() + margin, knob, knob));
}

void SwitchButton::enterEvent(QEvent *event)
{
    m_hovered = true;
    update();
    QAbstractButton::enterEvent(event);
}

void SwitchButton::leaveEvent(QEvent *event)
{
    m_hovered = false;
    update();
    QAbstractButton::leaveEvent(event);
}
