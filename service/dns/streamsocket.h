#pragma once

#include "endpoint.h"

#include <QString>

namespace DNS {

// One accepted stream connection as a plain non-blocking descriptor. The proxy needs what
// QTcpSocket does not offer: a client that shuts down its sending side after its query
// still gets its answers (RFC 7766 6.2.1: the server keeps the connection until it has
// written what is due), whereas QTcpSocket closes the whole connection at end of stream.
// Readiness is watched by the owner's QSocketNotifiers on descriptor().
//
// The descriptor is closed on destruction. Every failing call keeps the system's text in
// errorString().
class StreamSocket
{
public:
    // Takes over an accepted, connected descriptor and makes it non-blocking.
    explicit StreamSocket(int descriptor);
    ~StreamSocket();
    StreamSocket(const StreamSocket &) = delete;
    StreamSocket &operator=(const StreamSocket &) = delete;

    enum : qint64 {
        WouldBlock = -1, // nothing to read or no room to write now
        Failed = -2,     // the connection broke (reset, ...); see errorString()
    };

    bool isOpen() const { return m_fd >= 0; }
    int descriptor() const { return m_fd; }
    QString errorString() const { return m_error; }
    // The client's address and port (invalid when unknown).
    Endpoint peer() const { return m_peer; }

    // Bytes read, 0 at end of stream (the peer will send nothing more), or WouldBlock or
    // Failed.
    qint64 read(char *buffer, qint64 size);
    // Bytes written (possibly fewer than size), or WouldBlock or Failed.
    qint64 write(const char *data, qint64 size);
    void close();

private:
    qint64 fail();

    int m_fd;
    Endpoint m_peer;
    QString m_error;
};

} // namespace DNS
