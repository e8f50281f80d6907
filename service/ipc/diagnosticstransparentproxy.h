#pragma once

#include "diagnosticschecks.h"

#include <QHash>
#include <QHostAddress>
#include <QObject>
#include <QString>
#include <QUrl>

class QEventLoop;
class QNetworkReply;

// Reads the my-IP replies of CheckTransparentProxy, on the check's pool thread: a reply
// with a network error writes "<url>:<error>" and fails the check; a good one keeps its
// body (at most MaximumBodyBytes; a longer one is cut off as not an address). When every
// watched reply has finished, the check's event loop ends.
class CheckTransparentProxyEventHandler : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY(CheckTransparentProxyEventHandler)
public:
    static constexpr qint64 MaximumBodyBytes = 256;

    CheckTransparentProxyEventHandler(QEventLoop *loop, QString *text);

    void watch(QNetworkReply *reply);
    bool isDone() const { return m_pending == 0; }
    bool hasFailed() const { return m_failed; }
    // The body of each reply that came without error, by the URL asked.
    QHash<QUrl, QByteArray> bodies() const { return m_bodies; }
    void abortAll();

private Q_SLOTS:
    void reply_finished();
    void reply_downloadProgress(qint64 received);

private:
    QEventLoop *m_loop;
    QString *m_text;
    QList<QNetworkReply *> m_replies;
    QHash<QUrl, QByteArray> m_bodies;
    int m_pending = 0;
    bool m_failed = false;
};

// Whether something between this computer and the account side changes its traffic: the
// my-IP page over plain HTTP and over HTTPS must both answer an IPv4 address, the same
// one (a transparent HTTP proxy shows its own address on the plain side, or fails the
// TLS side), and the computer must have an outgoing IPv4 address. The pages are fetched
// without any proxy, in a local event loop of the pool thread, each within TimeoutMs.
class CheckTransparentProxy : public base_test
{
public:
    static constexpr int TimeoutMs = 30000;

    struct Settings
    {
        QUrl http;
        QUrl https;
        // PEM file of extra CAs trusted for the HTTPS page (the account site's); may be empty.
        QString caFile;
        // Where the outgoing address is asked for: 8.8.8.8, or $CORVANE_DIAG_ROUTE_TARGET.
        QHostAddress routeTarget;
    };

    static QHostAddress defaultRouteTarget();

    CheckTransparentProxy(CheckResult *result, const Settings &settings);

    // The local address of a UDP socket connected towards target (no packet is sent):
    // the address this computer's traffic leaves from. On failure returns false with the
    // report's line in *error.
    static bool outgoingAddress(const QHostAddress &target, QHostAddress *local, QString *error);

protected:
    bool test() override;

private:
    void fetch(CheckTransparentProxyEventHandler *handler);
    bool addressesAgree(const QHash<QUrl, QByteArray> &bodies);

    Settings m_settings;
};
