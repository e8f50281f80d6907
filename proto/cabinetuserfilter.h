#pragma once

#include "lodestar_export.h"

#include <QMetaType>
#include <QSet>
#include <QVariant>

// The category ids that the user blocks in a profile, each from 1 to 255. JSON form: a
// list of the ids (in set order).
class LODESTAR_EXPORT CabinetUserFilter : public QSet<quint8>
{
public:
    // Clears the set, then adds every element of a list; an element that is not a number
    // from 1 to 255 clears the set again and gives false.
    bool fromVariant(const QVariant &value);
    QVariant toVariant() const;
};

Q_DECLARE_METATYPE(CabinetUserFilter)
