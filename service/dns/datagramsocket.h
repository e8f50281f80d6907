#pragma once

#include "endpoint.h"

#include <QByteArray>
#include <QString>

namespace DNS {

// A plain non-blocking UDP socket. The proxy opens one per upstream query (a fresh source
// port each time is part of its defence against forged answers), so this stays far
// cheaper than a QUdpSocket: one descriptor, no buffering, no host lookup machinery.
// Readiness is watched by a QSocketNotifier on descriptor() that the owner creates.
//
// Every failing call returns false or -1 and keeps the system's error text in
// errorString(). The descriptor is closed on destruction.
class DatagramSocket
{
public:
    DatagramSocket() = default;
    ~DatagramSocket();
    DatagramSocket(const DatagramSocket &) = delete;
    DatagramSocket &operator=(const DatagramSocket &) = delete;

    // A socket bound to the local endpoint, for a server.
    bool bind(const Endpoint &local);
    // A socket connected to the peer: the kernel picks a random source port and drops
    // datagrams from any other address.
    bool connectTo(const Endpoint &peer);
    void close();

    bool isOpen() const { return m_fd >= 0; }
    int descriptor() const { return m_fd; }
    QString errorString() const { return m_error; }

    // Bytes; false when the kernel refuses it.
    bool setReceiveBufferSize(int bytes);

    // One datagram to the connected peer or to to; the byte count or -1.
    qint64 send(const QByteArray &datagram);
    qint64 sendTo(const QByteArray &datagram, const Endpoint &to);

    // The next waiting datagram (at most 65535 bytes; a longer one is cut); false when
    // none is waiting or on an error. from may be null.
    bool receive(QByteArray *datagram, Endpoint *from);

private:
    bool open(int family);
    bool fail();

    int m_fd = -1;
    QString m_error;
};

} // namespace DNS
