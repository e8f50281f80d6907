#pragma once

#include "ipcconnection.h"

class QLocalSocket;

// The service's end of the connection to one desktop client. It relays its socket's
// disconnected() as its own disconnected(), which IpcServer takes as the end of the
// connection's life.
class GuiConnector : public IpcConnection
{
    Q_OBJECT
    Q_DISABLE_COPY(GuiConnector)

public:
    GuiConnector(QLocalSocket *socket, QObject *parent);
};
