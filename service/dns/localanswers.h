#pragma once

#include "dnspacket.h"

#include <QObject>

namespace DNS {

// The few names the proxy answers itself instead of forwarding them:
//  - the probe names with which the adapter control checks that this machine's lookups
//    reach the proxy (a random label under ProbeSuffix), answered NXDOMAIN and reported
//    with probeAnswered();
//  - the canary name by which browsers decide whether to switch on their own encrypted DNS
//    (CanaryName, A and AAAA queries), answered NXDOMAIN while canary answers are on, so
//    that browsers keep using the system's DNS and with it the filter. Other types of the
//    name are forwarded.
// Rules are matched on the first question's name, so the test costs a comparison of a few
// bytes per query.
//
// One instance serves the process (instance()); it lives on the main thread.
class LocalAnswers : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY(LocalAnswers)
public:
    // Names under this suffix are probes. Multi-label, under the TLD that RFC 6761 keeps for
    // testing: systemd-resolved and glibc send it to the link's DNS servers unchanged
    // (single labels go to LLMNR and search domains, ".local" to mDNS, "localhost" and
    // ".invalid" are answered locally, so none of those would prove the path).
    static constexpr const char ProbeSuffix[] = "corvane-probe.test";

    static constexpr const char CanaryName[] = "use-application-dns.net";

    enum class Rule { None, Probe, Canary };

    explicit LocalAnswers(QObject *parent = nullptr);
    ~LocalAnswers() override;

    static LocalAnswers *instance();

    // The rule a query name falls under; names compare without regard to ASCII case.
    static Rule ruleFor(const QByteArray &name);

    // When the query falls under a rule: fills *reply with its answer, reports it, and
    // returns true. Otherwise returns false and leaves *reply alone.
    bool answer(const Packet &query, Packet *reply);

    // Whether the canary name is answered (true after construction).
    void setCanaryAnswered(bool answered) { m_canaryAnswered = answered; }
    bool isCanaryAnswered() const { return m_canaryAnswered; }

    // Queries answered since construction.
    quint64 answered() const { return m_answered; }

signals:
    // A probe name arrived (as the client sent it, without the final dot).
    void probeAnswered(const QString &name);

private:
    quint64 m_answered = 0;
    bool m_canaryAnswered = true;
};

} // namespace DNS
