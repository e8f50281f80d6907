#pragma once

#include <QDateTime>
#include <QObject>
#include <QString>

#include <functional>

class QTimer;

// What the last check of the query path found, for the diagnostics.
struct VerificationVerdict
{
    QDateTime time;
    QString backend;
    bool passed = false;
    QString result;

    bool isValid() const { return time.isValid(); }
};

// Checks that this machine's own name lookups reach the DNS proxy: it looks up a fresh
// random name under the probe suffix through the system's resolver (getaddrinfo, on a
// pool thread) and waits for the proxy to report that it saw that name (probeSeen(), fed
// by DNS::LocalAnswers). The lookup's own outcome does not matter: only the proxy seeing
// the name proves the path.
//
// One check at a time: verify() while one waits starts over with a new name. finished()
// follows every verify() exactly once unless another verify() or the verifier's deletion
// comes first.
class ProtectionVerifier : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY(ProtectionVerifier)
public:
    // Runs on a pool thread: resolves name and describes the outcome ("no such name",
    // "addresses 192.0.2.1", "error: ...").
    using Lookup = std::function<QString(const QString &name)>;
    static constexpr int DefaultWaitMs = 5000;

    explicit ProtectionVerifier(QObject *parent = nullptr);
    ~ProtectionVerifier() override;

    void setLookup(Lookup lookup) { m_lookup = std::move(lookup); }
    void setWaitMs(int ms);

    // Starts a check on behalf of backend (named in the verdict).
    void verify(const QString &backend);
    bool isRunning() const;
    QString currentName() const { return m_name; }

    // A fresh probe name: a random label under the probe suffix.
    static QString probeName();
    // getaddrinfo through the system's resolver.
    static QString systemLookup(const QString &name);

public slots:
    void probeSeen(const QString &name);

signals:
    void finished(const VerificationVerdict &verdict);

private:
    void lookupDone(quint64 check, const QString &outcome);
    void timedOut();
    void finish(bool passed, const QString &result);

    Lookup m_lookup;
    QTimer *m_timer;
    QString m_backend;
    QString m_name;
    QString m_outcome;
    quint64 m_check = 0;
    qint64 m_startedMs = 0;
};
