#pragma once

//
//  W A R N I N G
//  -------------
//
// This file is not part of the lodestar API. It exists for the convenience of
// ipcconnection.cpp and may change from version to version without notice.
//

#include "ipcframe.h"
#include "jsonrpc.h"

#include <QLoggingCategory>

class QLocalSocket;

Q_DECLARE_LOGGING_CATEGORY(lcIpcConnection)

class IpcConnectionPrivate
{
public:
    QLocalSocket *socket = nullptr; // child of the connection
    JsonRPC engine{nullptr};        // grouping off: one message per frame
    IpcFrameReader reader;
};
