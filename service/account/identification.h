#pragma once

#include "error.h"

#include <QObject>

class Cabinet;
class DNSProxy;
class HttpServer;
class QTimer;

namespace DNS {
class DnsContext;
}

// How this computer makes itself known to the filtering resolver, and whether filtering is
// ready to run.
//
// Token identification runs the local DNS proxy, which marks every query with the account's
// token, together with the block page redirector; IP identification tells the account
// service the computer's public address ("updateNic") every five minutes instead. The
// object follows the account state to know when the chosen type is ready: for tokens, a
// profile is selected and some of its data (filter, a list or the schedule) is held, from
// the cache or the account service; for IP, the public address is known.
//
// Every error stops identification (state Stopped) and is announced with error() after
// stateChanged(); an error set while already stopped emits error() alone. Lives on the
// main thread; owns the proxy and the block page server.
class Identification : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY(Identification)

public:
    enum Type {
        IpType = 0,
        TokenType = 1,
    };
    Q_ENUM(Type)

    enum State {
        Stopped = 0,
        Waiting = 1,   // started, the filter is not ready
        Switching = 2, // running with the current type while another one is pending
        Running = 3,
    };
    Q_ENUM(State)

    static constexpr int IpUpdateIntervalMs = 5 * 60 * 1000;

    // cabinet and context must outlive the identification. blockPagePort 0 takes
    // HttpServer::defaultPort().
    Identification(Cabinet *cabinet, DNS::DnsContext *context, QObject *parent = nullptr,
                   quint16 blockPagePort = 0);
    ~Identification() override;

    Type type() const { return m_type; }
    Type pendingType() const { return m_pendingType; }
    State state() const { return m_state; }
    const Error &lastError() const { return m_lastError; }

    DNSProxy *proxy() const { return m_proxy; }
    HttpServer *blockPage() const { return m_blockPage; }

    // Starts with the given type or switches to it.
    void startWithType(Type type);
    // Restarts the DNS proxy after its endpoints changed; nothing while waiting or switching.
    void restartProxy();
    // The ready test of the type.
    bool isReady(Type type) const;

signals:
    void error();
    void stateChanged();
    void typeChanged();

public slots:
    // Starts with the token type.
    void start();
    void stop();
    void checkFilterReady();
    void cabinet_error();
    void cabinet_stateChanged();
    void cabinet_currentProfileChanged();

private:
    void setError(const Error &error);
    void setState(State state);
    void activate();
    void askForAddress();
    Type effectiveType() const;

    Cabinet *m_cabinet;
    DNSProxy *m_proxy;
    HttpServer *m_blockPage;
    QTimer *m_ipUpdateTimer;
    Type m_type = TokenType;
    Type m_pendingType = TokenType;
    State m_state = Stopped;
    Error m_lastError;
    int m_cabinetState;
};
