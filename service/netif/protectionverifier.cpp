#include "protectionverifier.h"

#include "localanswers.h"

#include <QDateTime>
#include <QFutureWatcher>
#include <QPointer>
#include <QRandomGenerator>
#include <QThreadPool>
#include <QTimer>
#include <QtConcurrent>

#include <arpa/inet.h>
#include <netdb.h>
#include <sys/socket.h>

ProtectionVerifier::ProtectionVerifier(QObject *parent)
    : QObject(parent)
    , m_lookup(&ProtectionVerifier::systemLookup)
    , m_timer(new QTimer(this))
{
    m_timer->setSingleShot(true);
    m_timer->setInterval(DefaultWaitMs);
    connect(m_timer, &QTimer::timeout, this, &ProtectionVerifier::timedOut);
}

ProtectionVerifier::~ProtectionVerifier() = default;

void ProtectionVerifier::setWaitMs(int ms)
{
    m_timer->setInterval(ms);
}

bool ProtectionVerifier::isRunning() const
{
    return m_timer->isActive();
}

QString ProtectionVerifier::probeName()
{
    const quint64 random = QRandomGenerator::system()->generate64();
    return QStringLiteral("p%1.").arg(random, 16, 16, QLatin1Char('0'))
            + QString::fromLatin1(DNS::LocalAnswers::ProbeSuffix);
}

QString ProtectionVerifier::systemLookup(const QString &name)
{
    addrinfo hints {};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo *result = nullptr;
    const int status = ::getaddrinfo(name.toLatin1().constData(), nullptr, &hints, &result);
    if (status == EAI_NONAME)
        return QStringLiteral("no such name");
    if (status != 0)
        return QStringLiteral("error: %1").arg(QString::fromLocal8Bit(::gai_strerror(status)));
    QStringList addresses;
    for (const addrinfo *entry = result; entry && addresses.size() < 4; entry = entry->ai_next) {
        char text[INET6_ADDRSTRLEN] = {};
        const void *address = entry->ai_family == AF_INET
                ? static_cast<const void *>(&reinterpret_cast<const sockaddr_in *>(entry->ai_addr)->sin_addr)
                : static_cast<const void *>(&reinterpret_cast<const sockaddr_in6 *>(entry->ai_addr)->sin6_addr);
        if (::inet_ntop(entry->ai_family, address, text, sizeof(text)))
            addresses.append(QString::fromLatin1(text));
    }
    ::freeaddrinfo(result);
    addresses.removeDuplicates();
    return QStringLiteral("addresses %1").arg(addresses.join(QStringLiteral(", ")));
}

void ProtectionVerifier::verify(const QString &backend)
{
    const quint64 check = ++m_check;
    m_backend = backend;
    m_name = probeName();
    m_outcome.clear();
    m_startedMs = QDateTime::currentMSecsSinceEpoch();
    m_timer->start();
    // The lookup may take the resolver's whole time-out; it holds copies only, so it may
    // outlive the verifier.
    auto *watcher = new QFutureWatcher<QString>(this);
    connect(watcher, &QFutureWatcher<QString>::finished, this, [this, watcher, check] {
        lookupDone(check, watcher->result());
        watcher->deleteLater();
    });
    watcher->setFuture(QtConcurrent::run(QThreadPool::globalInstance(), m_lookup, m_name));
}

void ProtectionVerifier::lookupDone(quint64 check, const QString &outcome)
{
    if (check == m_check)
        m_outcome = outcome;
}

void ProtectionVerifier::probeSeen(const QString &name)
{
    if (!isRunning() || name.compare(m_name, Qt::CaseInsensitive) != 0)
        return;
    finish(true, QStringLiteral("the filter saw the lookup of %1 after %2 ms")
                         .arg(m_name)
                         .arg(QDateTime::currentMSecsSinceEpoch() - m_startedMs));
}

void ProtectionVerifier::timedOut()
{
    const QString outcome = m_outcome.isEmpty() ? QStringLiteral("had no result yet") : QStringLiteral("gave ") + m_outcome;
    finish(false, QStringLiteral("the lookup of %1 through the system's resolver %2, and the filter did not see it within %3 s")
                          .arg(m_name, outcome)
                          .arg(m_timer->interval() / 1000.0));
}

void ProtectionVerifier::finish(bool passed, const QString &result)
{
    m_timer->stop();
    VerificationVerdict verdict;
    verdict.time = QDateTime::currentDateTime();
    verdict.backend = m_backend;
    verdict.passed = passed;
    verdict.result = result;
    emit finished(verdict);
}
