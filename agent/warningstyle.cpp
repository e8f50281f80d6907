#include "warningstyle.h"

#include <QPushButton>
#include <QStyle>
#include <QVariant>
#include <QWidget>

void setWarningStyle(QWidget *widget, const char *property, bool on)
{
    if (widget->property(property).toBool() == on)
        return;
    widget->setProperty(property, on);
    // Style sheet rules on dynamic properties are evaluated when the widget is polished.
    widget->style()->unpolish(widget);
    widget->style()->polish(widget);
    widget->update();
}

void padButtons(QWidget *root)
{
    constexpr int Room = 24;
    for (QPushButton *button : root->findChildren<QPushButton *>()) {
        if (button->text().isEmpty())
            continue;
        const int wanted = button->fontMetrics().horizontalAdvance(button->text()) + Room;
        button->setMinimumWidth(qMax(wanted, 80));
    }
}
