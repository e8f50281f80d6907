#include "legacycabinethttprequest.h"

#include "legacyhttpcabinet.h"
#include "sysinfo.h"

#include "configuration.h"

#include <QDateTime>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSettings>
#include <QSslConfiguration>
#include <QUrlQuery>

namespace {

constexpr qint32 TimeoutCode = 2;
constexpr qint32 AuthenticationCode = 30;
constexpr qint32 TransportCode = 31;

// JSON-RPC answers come as JSON; a page of another kind (a portal's login form, an error
// page of a proxy) is not an answer, whatever its status. A reply without a content type
// is left to the JSON parser.
bool isJsonContentType(const QString &contentType)
{
    return contentType.isEmpty() || contentType.contains(QLatin1String("json"), Qt::CaseInsensitive);
}

} // namespace

LegacyCabinetHttpRequest::LegacyCabinetHttpRequest(LegacyHttpCabinet *cabinet, const QUrl &url)
    : Request(cabinet)
    , m_cabinet(cabinet)
    , m_url(url)
{
}

LegacyCabinetHttpRequest::~LegacyCabinetHttpRequest()
{
    if (m_reply)
        m_reply->deleteLater();
}

void LegacyCabinetHttpRequest::send(const QByteArray &body)
{
    m_url.setQuery(QStringLiteral("stamp=") + QString::number(QDateTime::currentSecsSinceEpoch()));
    QNetworkRequest request(m_url);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    request.setHeader(QNetworkRequest::ContentTypeHeader,
                      QByteArrayLiteral("application/json; charset=utf-8"));
    request.setRawHeader("User-Agent", SysInfo::userAgent());
    request.setRawHeader("Connection", "close");
    request.setHeader(QNetworkRequest::ContentLengthHeader, body.size());
    if (m_url.scheme() == QLatin1String("https"))
        request.setSslConfiguration(m_cabinet->sslConfiguration());

    QNetworkReply *reply = m_cabinet->networkAccessManager()->post(request, body);
    m_reply = reply;
    if (QSettings().value(Configuration::Key::AccountSiteIgnoreSslErrors, false).toBool())
        connect(reply, &QNetworkReply::sslErrors, reply, qOverload<>(&QNetworkReply::ignoreSslErrors));
    connect(reply, &QNetworkReply::metaDataChanged, this, &LegacyCabinetHttpRequest::checkHead);
    connect(reply, &QIODevice::readyRead, this, &LegacyCabinetHttpRequest::checkSize);
    connect(reply, &QNetworkReply::finished, this, &LegacyCabinetHttpRequest::replyFinished);
}

void LegacyCabinetHttpRequest::checkHead()
{
    if (!m_reply)
        return;
    const int status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status >= 300 && status < 400) {
        refuse(QStringLiteral("redirect refused (HTTP status %1)").arg(status));
        return;
    }
    const QVariant length = m_reply->header(QNetworkRequest::ContentLengthHeader);
    if (length.isValid() && length.toLongLong() > MaximumReplyBytes) {
        refuse(QStringLiteral("reply too large (over %1 bytes)").arg(MaximumReplyBytes));
        return;
    }
    const QString type = m_reply->header(QNetworkRequest::ContentTypeHeader).toString();
    if (status >= 200 && status < 300 && !isJsonContentType(type))
        refuse(QStringLiteral("unexpected content type \"%1\"").arg(type.left(64)));
}

void LegacyCabinetHttpRequest::checkSize()
{
    if (m_reply && m_reply->bytesAvailable() > MaximumReplyBytes)
        refuse(QStringLiteral("reply too large (over %1 bytes)").arg(MaximumReplyBytes));
}

void LegacyCabinetHttpRequest::refuse(const QString &reason)
{
    if (!m_refusal.isEmpty() || !m_reply)
        return;
    m_refusal = reason;
    // abort() ends the reply with finished(), handled by replyFinished() below.
    m_reply->abort();
}

void LegacyCabinetHttpRequest::replyFinished()
{
    if (m_replied || !m_reply)
        return;
    m_replied = true;
    QNetworkReply *reply = m_reply;
    if (m_refusal.isEmpty() && reply->bytesAvailable() > MaximumReplyBytes)
        m_refusal = QStringLiteral("reply too large (over %1 bytes)").arg(MaximumReplyBytes);
    if (!m_refusal.isEmpty()) {
        qWarning("cabinet request failed: %s", qPrintable(m_refusal));
        finishOnce(Error(TransportCode, m_refusal));
        return;
    }
    const QNetworkReply::NetworkError failure = reply->error();
    if (failure == QNetworkReply::NoError) {
        m_clean = true;
        m_body = reply->readAll();
        finishOnce(Error());
    } else if (failure == QNetworkReply::AuthenticationRequiredError) {
        finishOnce(Error(AuthenticationCode));
    } else {
        qWarning("cabinet request failed: %s", qPrintable(reply->errorString()));
        finishOnce(Error(TransportCode, reply->errorString()));
    }
}

void LegacyCabinetHttpRequest::releaseReply()
{
    if (!m_reply)
        return;
    disconnect(m_reply, nullptr, this, nullptr);
    m_reply->abort();
}

void LegacyCabinetHttpRequest::cancel()
{
    if (m_done)
        return;
    m_replied = true;
    releaseReply();
    finishOnce(Error(TransportCode, QStringLiteral("sign-in changed")));
}

void LegacyCabinetHttpRequest::requestFinished(const Error &error)
{
    if (m_replied) {
        finishOnce(error);
        return;
    }
    // Ended from outside (the request manager's time-out) before the reply came: the reply
    // is cut off first, so that a late answer is never seen.
    qWarning("cabinet request abort with reason: %s", qPrintable(error.toString()));
    m_replied = true;
    releaseReply();
    finishOnce(Error(TransportCode, error.code() == TimeoutCode ? QStringLiteral("request timeout")
                                                                : QStringLiteral("unknown error")));
}

void LegacyCabinetHttpRequest::finishOnce(const Error &error)
{
    if (m_done)
        return;
    m_done = true;
    Request::requestFinished(error);
}
