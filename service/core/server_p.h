#pragma once

//
//  W A R N I N G
//  -------------
//
// This file is not part of the service's interface: it is the private part of Server,
// shared by server.cpp and serverprivate.cpp, and may change without notice.
//

#include "error.h"

#include <QHash>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QPointer>

class Cabinet;
class ChangeUserMessanger;
class ConsoleUser;
class GuiConnector;
class Identification;
class IpcServer;
class NetworkInterfaceManager;
class QTimer;
class Server;

class ServerPrivate : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY(ServerPrivate)

public:
    ServerPrivate(Server *owner, NetworkInterfaceManager *adapterControl, ConsoleUser *consoleUser);
    ~ServerPrivate() override;

    // The address the protected adapters get: the local proxy under token identification,
    // the filtering resolver itself under address identification.
    QHostAddress dnsAddressForType() const;
    // Hands the adapter control the address for the current type when it differs.
    void giveDnsAddress();
    // Protection of the adapters on exactly when the switch is on and identification runs
    // (state 2 or 3); nothing before the adapter control was started.
    void applyAdapterProtection();
    // Queues the identification notification for one connection, or for all (null).
    void queueIdentification(GuiConnector *connection);
    void createUserMapping(Cabinet *cabinet);

    Error lastError;
    Server *q;
    Cabinet *account = nullptr;
    Identification *identification = nullptr;
    IpcServer *ipcServer = nullptr;
    ChangeUserMessanger *userMapping = nullptr;
    NetworkInterfaceManager *adapters;
    QHostAddress upstreamAddress;
    quint16 upstreamPort;
    QHostAddress localProxyAddress;
    quint16 localProxyPort;
    QTimer *pauseTimer;
    QTimer *identificationTimer;
    QList<QPointer<GuiConnector>> waitingConnections;
    bool notifyAll = false;
    bool mappingEnabled = false;
    bool protectionOn = true;
    bool adaptersStarted = false;
    // Handed to the user mapping when start() creates it.
    ConsoleUser *console;

public slots:
    void cleanoutConnection();
    void setCurrentProfile(QString prof);
    void setLocalUserToProfileMappingStatus(bool status, bool from_constructor);
    void UserToProfileMapFileWasUpdated(QHash<QString, QString> hash);
    void UpdateUserToProfMap();
    void identificationStateChanged();
    void identificationTypeChanged();
    void interfacesConfigurationChanged();
    void protectionPauseTimeout();
};
