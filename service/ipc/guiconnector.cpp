#include "guiconnector.h"

#include <QLocalSocket>

GuiConnector::GuiConnector(QLocalSocket *socket, QObject *parent)
    : IpcConnection(socket, parent)
{
    connect(socket, &QLocalSocket::disconnected, this, &IpcConnection::disconnected);
}
