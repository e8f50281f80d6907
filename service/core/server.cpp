#include "server.h"

#include "endpointvalidation.h"

Server::Server(QObject *parent)
    : QObject(parent)
{
}

Server::~Server() = default;

bool Server::start()
{
    m_lastError = Error();
    validateEndpoints();
    return true;
}

void Server::stop() { }
