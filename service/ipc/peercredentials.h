#pragma once

#include <QtGlobal>

// Who is at the other end of a local socket, as the kernel vouches for it (the credentials
// of the process that connected). The service trusts root peers; every other user must
// unlock the settings before changing them.
struct PeerCredentials
{
    bool valid = false; // false when the system could not tell
    quint32 uid = 0;
    quint32 gid = 0;
    qint64 pid = 0;

    bool isRoot() const { return valid && uid == 0; }

    // The credentials of the peer of a connected local socket's descriptor.
    static PeerCredentials ofSocket(qintptr descriptor);
};
