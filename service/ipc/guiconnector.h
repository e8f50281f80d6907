#pragma once

#include "ipcconnection.h"
#include "peercredentials.h"

class QLocalSocket;

// The service's end of the connection to one desktop client. It relays its socket's
// disconnected() as its own disconnected(), which IpcServer takes as the end of the
// connection's life. It accepts frames of at most IpcFrame::MaximumRequestLength from the
// client, and knows who the client is (the kernel's credentials of the peer process).
class GuiConnector : public IpcConnection
{
    Q_OBJECT
    Q_DISABLE_COPY(GuiConnector)

public:
    GuiConnector(QLocalSocket *socket, QObject *parent);

    const PeerCredentials &peer() const { return m_peer; }

private:
    PeerCredentials m_peer;
};
