#pragma once

#include <QString>

// The file system side of a local socket name: who holds it, and clearing what a crashed
// run left behind. Qt's QLocalServer, asked for world access, binds elsewhere and renames
// its socket over the name, which would silently take the name from a live server; so the
// name is checked here first.
namespace LocalSocketName {

enum class State {
    Free,       // nothing exists at the path
    Stale,      // a socket file nobody listens on (left by a crashed run)
    Live,       // a server accepts connections there, or it cannot be told
    NotASocket, // something else (a file or a folder) holds the path
};

// Probes the path by connecting to it, without blocking: a listening server answers the
// connection at once (or has a full backlog), a stale file refuses it.
State probe(const QString &path);

// Removes a socket file at the path; false when it cannot, or when the path is not a socket.
bool removeStale(const QString &path);

// Gives every local user read and write access to the socket (mode 0666), which is all a
// client needs to connect.
bool setWorldAccess(const QString &path);

QString describe(State state);

} // namespace LocalSocketName
