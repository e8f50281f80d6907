#pragma once

#include "request.h"

#include <QByteArray>
#include <QPointer>
#include <QUrl>

class LegacyHttpCabinet;
class QNetworkReply;

// One HTTP POST to the account web service, carrying one JSON-RPC message.
//
// It finishes exactly once: code 0 when the exchange succeeded (body() then holds the
// reply), 30 when the site asked for authentication that was not given, 31 for every
// other failure (the reply's error text, "request timeout" when the request manager ended
// it, "unknown error" when something else did). Everything the site sends is untrusted:
// a body over MaximumReplyBytes, a redirect, or a content type that is not JSON ends
// the exchange as a failure at once, and the request manager's 30 seconds bound the
// whole exchange, however slowly the body trickles in.
//
// A child of the cabinet; the request manager deletes it after its finished(). The reply
// belongs to the cabinet's network access manager and is released with the request.
class LegacyCabinetHttpRequest : public Request
{
    Q_OBJECT

public:
    // The largest real answer is a domain list of 5 000 entries of up to 253 characters
    // each (about 1.6 MB); a reply may be somewhat larger, never without bound.
    static constexpr qint64 MaximumReplyBytes = 4 * 1024 * 1024;
    static constexpr unsigned short TimeoutSeconds = 30;

    LegacyCabinetHttpRequest(LegacyHttpCabinet *cabinet, const QUrl &url);
    ~LegacyCabinetHttpRequest() override;

    QUrl url() const { return m_url; }
    // The reply body of a successful exchange.
    const QByteArray &body() const { return m_body; }
    // True when the reply came without a network error (the exchange may still have
    // failed afterwards, for instance on an oversized body).
    bool replyWasClean() const { return m_clean; }

    // Posts the message, the URL's query replaced by "stamp" = the current time in
    // seconds since 1970.
    void send(const QByteArray &body);
    // Ends the exchange without a word in the log: the sign-in it was made for is over.
    void cancel();

    void requestFinished(const Error &error) override;

public slots:
    void replyFinished();

private:
    void checkHead();
    void checkSize();
    void refuse(const QString &reason);
    void finishOnce(const Error &error);
    void releaseReply();

    bool m_replied = false;
    LegacyHttpCabinet *m_cabinet;
    QUrl m_url;
    QPointer<QNetworkReply> m_reply;
    QByteArray m_body;
    QString m_refusal;
    bool m_clean = false;
    bool m_done = false;
};
