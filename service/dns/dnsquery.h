#pragma once

#include "dnspacket.h"
#include "endpoint.h"

#include "request.h"

#include <QPointer>

namespace DNS {

class ServersManager;
class Transport;

// Sends one message upstream and finishes with its answer (success), with the time-out
// error of the request manager (code 2) or, when the TCP connection fails first, with
// code 1 and the socket's text. A query whose TCP connection had been working and then
// closed (or sent something malformed) is sent once more on a fresh connection, within
// the same time-out; only when that fails too does it finish with code 1.
//
// Auto-delete is off: the query belongs to its parent (the proxy request), which deletes
// it. It releases its transport when destroyed; the transport is held through a guarded
// pointer, so a transport deleted meanwhile (the proxy stopped) is never touched.
class Query : public Request
{
    Q_OBJECT

public:
    enum Mode {
        Tcp = 0,
        Udp = 1,
    };

    explicit Query(QObject *parent = nullptr);
    ~Query() override;

    // Sends packet to upstream over UDP or TCP through manager (ServersManager::instance()
    // when null) and watches the query with timeout seconds (10 for UDP and 120 for TCP
    // when 0). Returns the transport's send result; after false the query still finishes
    // at its time-out, and the caller reacts to the false itself.
    bool send(const Endpoint &upstream, const Packet &packet, Mode mode, unsigned short timeout = 0,
              ServersManager *manager = nullptr);

    // The message as sent, with the id the transport gave it.
    const Packet &sent() const { return m_sent; }
    // The answer, once the query succeeded.
    const Packet &answer() const { return m_answer; }

    void requestFinished(const Error &error) override;

public slots:
    void transport_readyRead();
    void transport_error();

private:
    bool sendOn(Transport *transport);
    void detachFromTransport();
    void releaseTransport();

    Packet m_sent;
    Packet m_answer;
    QPointer<Transport> m_transport;
    Endpoint m_upstream;
    QPointer<ServersManager> m_manager;
    Mode m_mode = Udp;
    bool m_waiting = false;
    bool m_done = false;
    bool m_retried = false;
};

} // namespace DNS
