#pragma once

#include "installedsoftware.h"

#include <QProcess>

// The package database: `dpkg-query` (name, version and status of every package), or
// `rpm -qa` where there is no dpkg. The programs can be moved for tests:
// CORVANE_DPKG_QUERY, CORVANE_RPM.
class LinuxInstalledSoftware : public InstalledSoftware
{
    Q_OBJECT
    Q_DISABLE_COPY(LinuxInstalledSoftware)

public:
    static constexpr qint64 MaximumOutputBytes = 16 * 1024 * 1024;

    explicit LinuxInstalledSoftware(QObject *parent = nullptr);
    ~LinuxInstalledSoftware() override;

    void query() override;

    // Lines of "<status abbreviation>\t<name>\t<version>"; installed packages only
    // (status "ii" or "hi"), of those isReported() names.
    static QList<Package> fromDpkgQuery(const QByteArray &output);
    // Lines of "<name>\t<version>".
    static QList<Package> fromRpm(const QByteArray &output);

private:
    void start(bool rpm);
    void processEnded(bool rpm, bool ok);

    QProcess *m_process = nullptr;
};
