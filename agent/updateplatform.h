#pragma once

#include <QObject>
#include <QString>

// What the update checker needs from the system: whether the program came from a package
// repository (then its updates come through the system's software updates), and opening a
// downloaded installer. Both run asynchronously and answer with a signal, once per
// request; a fake stands in for them in tests.
class UpdatePlatform : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY(UpdatePlatform)

public:
    // The program's package.
    static const char *const PackageName; // "corvane-agent"

    explicit UpdatePlatform(QObject *parent = nullptr) : QObject(parent) {}

    // The system's implementation.
    static UpdatePlatform *create(QObject *parent);

    // Answers installOriginKnown().
    virtual void queryInstallOrigin() = 0;
    // Answers installerOpened().
    virtual void openInstaller(const QString &path) = 0;

Q_SIGNALS:
    void installOriginKnown(bool fromRepository);
    // started: the installer runs (or the desktop took it over).
    void installerOpened(bool started);
};
