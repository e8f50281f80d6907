#include "warningstyle.h"

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
