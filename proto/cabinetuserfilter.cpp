#include "cabinetuserfilter.h"

#include "recordreader_p.h"

#include <QVariantList>

using namespace RecordReader;

bool CabinetUserFilter::fromVariant(const QVariant &value)
{
    clear();
    if (!isList(value))
        return false;
    const QVariantList items = value.toList();
    for (const QVariant &item : items) {
        bool ok = false;
        const quint32 id = toUInt32(item, &ok);
        if (!ok || id < 1 || id > 255) {
            clear();
            return false;
        }
        insert(static_cast<quint8>(id));
    }
    return true;
}

QVariant CabinetUserFilter::toVariant() const
{
    QVariantList items;
    items.reserve(size());
    for (quint8 id : *this)
        items.append(static_cast<quint32>(id));
    return items;
}
