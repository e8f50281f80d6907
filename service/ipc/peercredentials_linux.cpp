#include "peercredentials.h"

#include <sys/socket.h>
#include <sys/types.h>

PeerCredentials PeerCredentials::ofSocket(qintptr descriptor)
{
    PeerCredentials credentials;
    ucred peer {};
    socklen_t length = sizeof(peer);
    if (descriptor < 0 || ::getsockopt(int(descriptor), SOL_SOCKET, SO_PEERCRED, &peer, &length) != 0
        || length != sizeof(peer))
        return credentials;
    credentials.valid = true;
    credentials.uid = peer.uid;
    credentials.gid = peer.gid;
    credentials.pid = peer.pid;
    return credentials;
}
