#pragma once

#include <QString>

// What the service shell asks of the system's service manager. The Linux implementation
// talks to systemd; tests use a fake.
class ServiceControl
{
public:
    enum class Result { Done, AlreadyDone, Failed };

    virtual ~ServiceControl() = default;

    // Installs and enables the unit that starts this program at boot.
    virtual Result install() = 0;
    // Disables and removes the unit.
    virtual Result uninstall() = 0;
    // Stops the running service.
    virtual bool terminate() = 0;
    virtual bool isInstalled() = 0;
    virtual bool isRunning() = 0;
    // The account the installed service runs under.
    virtual QString account() const = 0;

    // Start-up notifications to the service manager (no-ops outside it).
    virtual void notifyReady() = 0;
    virtual void notifyStopping() = 0;
};

// The systemd implementation; the caller owns it.
ServiceControl *createSystemServiceControl();
