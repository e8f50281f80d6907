#include "guiconnector.h"

#include "ipcframe.h"

#include <QLocalSocket>

GuiConnector::GuiConnector(QLocalSocket *socket, QObject *parent)
    : IpcConnection(socket, parent)
    , m_peer(PeerCredentials::ofSocket(socket->socketDescriptor()))
{
    setMaximumIncomingLength(IpcFrame::MaximumRequestLength);
    connect(socket, &QLocalSocket::disconnected, this, &IpcConnection::disconnected);
}
