#pragma once

#include <QList>
#include <QObject>
#include <QString>

// The installed software that matters to support: the program's own packages (corvane*)
// and the system packages that decide where DNS goes (systemd-resolved or systemd,
// network-manager, resolvconf, dnsmasq and dnsmasq-base). Asked asynchronously; each query() ends with one ready().
class InstalledSoftware : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY(InstalledSoftware)

public:
    struct Package
    {
        QString name;
        QString version;
        bool operator==(const Package &other) const { return name == other.name && version == other.version; }
    };

    explicit InstalledSoftware(QObject *parent = nullptr) : QObject(parent) {}

    // The system's implementation.
    static InstalledSoftware *create(QObject *parent);

    virtual void query() = 0;

    // Whether a package of that name belongs in the report.
    static bool isReported(const QString &name);

Q_SIGNALS:
    // Sorted by name; empty when nothing was found or the package database cannot be read.
    void ready(const QList<InstalledSoftware::Package> &packages);
};
