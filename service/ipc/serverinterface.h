#pragma once

#include "error.h"

#include <QHash>
#include <QString>

class Cabinet;
class DiagnosticsSource;
class IpcServer;
class QObject;

// What the IPC request handler calls on the service's orchestration (the Server of the core
// implements it). Kept here so that the handler's library needs nothing of the core, which
// links every subsystem.
class ServerInterface
{
public:
    virtual ~ServerInterface();

    // The object that requests outliving a connection hang from (they finish even when
    // the client that asked has gone).
    virtual QObject *requestOwner() = 0;
    virtual Cabinet *cabinet() const = 0;
    virtual IpcServer *ipcServer() const = 0;

    // Code 1 when protection is already in that state; nothing is sent then.
    virtual Error setGlobalFiltering(bool on, int delayMinutes) = 0;
    virtual Error setNetworkProtection(const QString &name, bool on) = 0;
    // Ignored unless address is an IPv4 address.
    virtual void setLocalProxy(const QString &address, quint16 port) = 0;
    virtual void setLocalUserToProfileMappingStatus(bool status, bool fromConstructor) = 0;
    virtual void userToProfileMapFileWasUpdated(const QHash<QString, QString> &map) = 0;
    // Starts (or switches) the computer's identification to the token type.
    virtual void startTokenIdentification() = 0;
    // What the support report reads of the running service.
    virtual const DiagnosticsSource &diagnosticsSource() const = 0;
};
