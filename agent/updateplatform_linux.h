#pragma once

#include "updateplatform.h"

#include <QProcess>

// On Linux the installer is the project's Debian package. Whether the program came from a
// repository is apt's knowledge: `apt-cache policy` lists a source other than the dpkg
// status file for the package. The downloaded package opens with `xdg-open` (the
// desktop's package installer); when that fails (no opener, or the opener refused for lack
// of rights) it is installed through `pkexec apt-get install`, which asks for an
// administrator's password and never removes another package.
//
// The programs can be moved for tests: CORVANE_APT_CACHE, CORVANE_XDG_OPEN, CORVANE_PKEXEC.
class LinuxUpdatePlatform : public UpdatePlatform
{
    Q_OBJECT
    Q_DISABLE_COPY(LinuxUpdatePlatform)

public:
    static constexpr qint64 MaximumPolicyBytes = 256 * 1024;
    // xdg-open: 3 no program to open the file with, 4 the program failed.
    static constexpr int XdgOpenNoToolCode = 3;
    static constexpr int XdgOpenFailedCode = 4;

    explicit LinuxUpdatePlatform(QObject *parent = nullptr);
    ~LinuxUpdatePlatform() override;

    void queryInstallOrigin() override;
    void openInstaller(const QString &path) override;

    // apt-cache policy's text (in the C locale): a package that is installed and has a
    // source in its version table other than /var/lib/dpkg/status.
    static bool isFromRepository(const QByteArray &policy);
    // The pkexec arguments that install the package file.
    static QStringList elevatedInstallArguments(const QString &path);

private:
    QProcess *startProcess(const char *variable, const char *program, const QStringList &arguments);
    void startInstaller(bool elevated);
    void installerEnded(bool elevated, int code);

    QProcess *m_policy = nullptr;
    QProcess *m_installer = nullptr;
    QString m_installerPath;
};
