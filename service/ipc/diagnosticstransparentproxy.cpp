#include "diagnosticstransparentproxy.h"

#include <QEventLoop>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QRegularExpression>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QTimer>

namespace {

// As the account client reads it.
constexpr qint64 MaximumCaFileBytes = 1024 * 1024;

QSslConfiguration sslConfiguration(const QString &caFile)
{
    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    if (caFile.isEmpty())
        return configuration;
    QFile file(caFile);
    if (file.size() <= MaximumCaFileBytes && file.open(QIODevice::ReadOnly))
        configuration.addCaCertificates(QSslCertificate::fromData(file.read(MaximumCaFileBytes), QSsl::Pem));
    return configuration;
}

} // namespace

CheckTransparentProxyEventHandler::CheckTransparentProxyEventHandler(QEventLoop *loop, QString *text)
    : m_loop(loop)
    , m_text(text)
{
}

void CheckTransparentProxyEventHandler::watch(QNetworkReply *reply)
{
    m_replies.append(reply);
    ++m_pending;
    connect(reply, &QNetworkReply::finished, this, &CheckTransparentProxyEventHandler::reply_finished);
    connect(reply, &QNetworkReply::downloadProgress, this, &CheckTransparentProxyEventHandler::reply_downloadProgress);
}

void CheckTransparentProxyEventHandler::abortAll()
{
    for (QNetworkReply *reply : qAsConst(m_replies)) {
        if (reply->isRunning())
            reply->abort();
    }
}

void CheckTransparentProxyEventHandler::reply_downloadProgress(qint64 received)
{
    auto *reply = qobject_cast<QNetworkReply *>(sender());
    if (reply && received > MaximumBodyBytes)
        reply->abort();
}

void CheckTransparentProxyEventHandler::reply_finished()
{
    auto *reply = qobject_cast<QNetworkReply *>(sender());
    if (!reply)
        return;
    disconnect(reply, nullptr, this, nullptr);
    if (reply->error() != QNetworkReply::NoError) {
        *m_text += reply->request().url().toString() + QLatin1Char(':')
                + Diagnostics::printable(reply->errorString().toUtf8(), 200) + QLatin1Char('\n');
        m_failed = true;
    } else {
        m_bodies.insert(reply->request().url(), reply->read(MaximumBodyBytes));
    }
    if (--m_pending == 0)
        m_loop->quit();
}

QHostAddress CheckTransparentProxy::defaultRouteTarget()
{
    const QHostAddress configured(qEnvironmentVariable("CORVANE_DIAG_ROUTE_TARGET"));
    return configured.protocol() == QAbstractSocket::IPv4Protocol ? configured : QHostAddress(QStringLiteral("8.8.8.8"));
}

CheckTransparentProxy::CheckTransparentProxy(CheckResult *result, const Settings &settings)
    : base_test(result)
    , m_settings(settings)
{
}

bool CheckTransparentProxy::test()
{
    bool passed = true;
    {
        QEventLoop loop;
        CheckTransparentProxyEventHandler handler(&loop, &m_text);
        QNetworkAccessManager access;
        access.setProxy(QNetworkProxy::NoProxy);
        const QSslConfiguration ssl = sslConfiguration(m_settings.caFile);
        for (const QUrl &url : { m_settings.http, m_settings.https }) {
            QNetworkRequest request(url);
            request.setTransferTimeout(TimeoutMs);
            request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
            request.setSslConfiguration(ssl);
            handler.watch(access.get(request));
        }
        QTimer cancelPoll;
        cancelPoll.setInterval(CancelPollMs);
        QObject::connect(&cancelPoll, &QTimer::timeout, &handler, [&] {
            if (isCancelled())
                handler.abortAll();
        });
        cancelPoll.start();
        if (!handler.isDone())
            loop.exec();
        passed = !handler.hasFailed();
        passed = addressesAgree(handler.bodies()) && passed;
    }
    QHostAddress local;
    QString error;
    if (!outgoingAddress(m_settings.routeTarget, &local, &error)) {
        m_text += error;
        passed = false;
    }
    return passed;
}

bool CheckTransparentProxy::addressesAgree(const QHash<QUrl, QByteArray> &bodies)
{
    static const QRegularExpression notAddress(QStringLiteral("[^0-9\\.]"));
    bool valid = !bodies.isEmpty();
    for (const QByteArray &body : bodies) {
        const QString text = QString::fromLatin1(body.trimmed());
        valid = valid && !text.isEmpty() && !text.contains(notAddress);
    }
    if (!valid) {
        m_text += QStringLiteral("Could not get IP address\n");
        return false;
    }
    const QByteArray plain = bodies.value(m_settings.http).trimmed();
    const QByteArray secure = bodies.value(m_settings.https).trimmed();
    if (bodies.size() == 2 && plain != secure) {
        m_text += QStringLiteral("HTTP and HTTPS see different addresses: %1 %2\n")
                          .arg(QString::fromLatin1(plain), QString::fromLatin1(secure));
        return false;
    }
    return true;
}
