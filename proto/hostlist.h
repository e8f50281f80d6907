#pragma once

#include "lodestar_export.h"

#include <QHostAddress>
#include <QList>
#include <QMetaType>
#include <QStringList>
#include <QVariant>

// A list of IP addresses; JSON form: a list of address strings.
class LODESTAR_EXPORT HostList : public QList<QHostAddress>
{
public:
    HostList() = default;
    HostList(std::initializer_list<QHostAddress> addresses) : QList<QHostAddress>(addresses) {}

    // Clears the list, then parses every element's string; one element that is not an
    // address clears the list again and gives false.
    bool fromVariant(const QVariant &value);
    QVariant toVariant() const;

    QStringList toStringList() const;
    // The addresses among the texts; the others are skipped.
    static HostList fromStringList(const QStringList &texts);
};

Q_DECLARE_METATYPE(HostList)
