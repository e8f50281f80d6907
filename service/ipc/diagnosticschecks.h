#pragma once

#include "adapterrecord.h"

#include <QHostAddress>
#include <QList>
#include <QRunnable>
#include <QString>
#include <QUrl>

#include <atomic>
#include <functional>

// What a check found: whether it passed and the lines it wrote for the report.
struct CheckResult
{
    bool passed = false;
    QString text;
};

// The common base of the report's network checks: a job for a thread pool. run() calls
// test(), then stores its verdict and a copy of the check's own text in the result holder
// and calls the finished handler, all on the pool thread. The holder and the cancel flag
// belong to the request that made the check and outlive it. A check that waits (for a
// datagram, for replies) looks at the cancel flag at least every CancelPollMs and ends
// early once it is set.
class base_test : public QRunnable
{
public:
    static constexpr int CancelPollMs = 100;

    explicit base_test(CheckResult *result);
    ~base_test() override;

    void setFinishedHandler(std::function<void()> handler) { m_finished = std::move(handler); }
    void setCancelFlag(const std::atomic_bool *cancelled) { m_cancelled = cancelled; }

    void run() override;

protected:
    virtual bool test() = 0;
    bool isCancelled() const { return m_cancelled && m_cancelled->load(); }

    QString m_text;

private:
    CheckResult *m_result;
    std::function<void()> m_finished;
    const std::atomic_bool *m_cancelled = nullptr;
};

// The DNS servers of the adapter that holds the default route must be the local proxy
// alone.
class CheckDNSOnGatway : public base_test
{
public:
    CheckDNSOnGatway(CheckResult *result, bool adaptersKnown, const QList<AdapterDnsView> &adapters,
                     const QHostAddress &proxy);

protected:
    bool test() override;

private:
    bool m_adaptersKnown;
    QList<AdapterDnsView> m_adapters;
    QHostAddress m_proxy;
};

// No enabled adapter may have a DNS server other than the local proxy.
class CheckDNSOnAllEnabledAdapters : public base_test
{
public:
    CheckDNSOnAllEnabledAdapters(CheckResult *result, bool adaptersKnown, const QList<AdapterDnsView> &adapters,
                                 const QHostAddress &proxy);

protected:
    bool test() override;

private:
    bool m_adaptersKnown;
    QList<AdapterDnsView> m_adapters;
    QHostAddress m_proxy;
};

// No proxy in the system's configuration as Qt sees it (on Linux: the environment's
// all_proxy, http_proxy, https_proxy and no_proxy), for a default query and for the my-IP
// pages.
class CheckNoUserProxy : public base_test
{
public:
    CheckNoUserProxy(CheckResult *result, const QList<QUrl> &urls);

protected:
    bool test() override;

private:
    QList<QUrl> m_urls;
};

namespace Diagnostics {

// An untrusted text made safe for one line of the report: printable ASCII only (every
// other byte becomes '?'), at most maximum bytes, longer texts cut and marked with "...".
QString printable(const QByteArray &text, int maximum = 64);

} // namespace Diagnostics
