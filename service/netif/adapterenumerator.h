#pragma once

#include "adapterrecord.h"

#include <QList>
#include <QObject>

// Lists the computer's adapters of the kinds the adapter control looks after (Ethernet,
// Wi-Fi, PPP) in the system's order.
class AdapterEnumerator : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY(AdapterEnumerator)
public:
    explicit AdapterEnumerator(QObject *parent = nullptr);
    ~AdapterEnumerator() override;

    // Fills *adapters; false (and *adapters untouched) when the system could not be asked.
    virtual bool enumerate(QList<AdapterInfo> *adapters) = 0;

    // The system's enumerator: interfaces from the kernel, up = administratively up and
    // running, friendly names from NetworkManager where it knows the device.
    static AdapterEnumerator *createSystem(QObject *parent = nullptr);

signals:
    // Enumerators that learn of changes themselves (the ini file's) report them here; the
    // system's changes come through the interface watcher instead.
    void changed();
};
