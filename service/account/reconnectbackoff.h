#pragma once

#include <QtGlobal>

// The delays between reconnect rounds with the account web service: 30 seconds, doubling
// with every failed round up to an hour, back to 30 after a successful exchange.
//
// One round sends several calls at once (system information, profiles, user information);
// when they all fail, that is one failed round, not three: the account state takes a
// delay only when it arms the reconnect timer, never while the timer is already armed.
class ReconnectBackoff
{
public:
    static constexpr quint16 InitialSeconds = 30;
    static constexpr quint16 MaximumSeconds = 3600;

    // The delay for the reconnect being armed now, in seconds; the next one doubles.
    quint16 take();
    // The delay that take() gives next.
    quint16 next() const { return m_seconds; }
    void reset() { m_seconds = InitialSeconds; }

private:
    quint16 m_seconds = InitialSeconds;
};
