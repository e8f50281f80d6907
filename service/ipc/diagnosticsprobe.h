#pragma once

#include "diagnosticschecks.h"
#include "dnspacket.h"

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QString>

// How the filtering resolver sees this computer, from its TXT answer for the probe host:
// three character-strings "profile=<id>", "ip=<client address>" and "token=<token>", where
// "None" stands for no profile or no token. Values are made printable and short before
// they are kept (they come from the network and end up in the report).
struct ProbeView
{
    QString profile;
    QString ip;
    QString token;

    // Reads an answer to query. On failure returns false and *error holds the report's line
    // for it. Bounded by the message: at most one TXT record of at most 65535 bytes is read.
    static bool read(const QByteArray &answer, const DNS::Packet &query, ProbeView *view, QString *error);
};

// The DNS probe: a TXT query for the probe host sent to the local proxy from a UDP socket
// bound to the first free port of bindPorts, and its answer read for the identification
// section. Waits at most waitMs for an answer from the proxy's address and port; datagrams
// from anywhere else are dropped.
class CheckBlackTarnwick : public base_test
{
public:
    struct Settings
    {
        QHostAddress proxy;
        quint16 proxyPort = 53;
        QByteArray probeHost;
        QList<quint16> bindPorts;
        int waitMs = 30000;
    };

    static constexpr int DefaultWaitMs = 30000;
    // Ports 1234 and 4321, or the comma-separated ports of $CORVANE_DIAG_PROBE_PORTS.
    static QList<quint16> bindPorts();

    CheckBlackTarnwick(CheckResult *result, ProbeView *view, const Settings &settings);

protected:
    bool test() override;

private:
    ProbeView *m_view;
    Settings m_settings;
};
