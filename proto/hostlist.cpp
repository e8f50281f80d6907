#include "hostlist.h"

#include "recordreader_p.h"

using namespace RecordReader;

bool HostList::fromVariant(const QVariant &value)
{
    return readList(value, this, [](const QVariant &item, QHostAddress *address) {
        *address = toAddress(item);
        return !address->isNull();
    });
}

QVariant HostList::toVariant() const
{
    return QVariant(toStringList()).toList();
}

QStringList HostList::toStringList() const
{
    QStringList texts;
    texts.reserve(size());
    for (const QHostAddress &address : *this)
        texts.append(address.toString());
    return texts;
}

HostList HostList::fromStringList(const QStringList &texts)
{
    HostList list;
    for (const QString &text : texts) {
        QHostAddress address;
        if (address.setAddress(text))
            list.append(address);
    }
    return list;
}
