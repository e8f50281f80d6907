#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>

#include <memory>

// One running instance per user and id, with text messages from later starts to it.
//
// isRunning() decides once which side this process is on: the first process to take the
// lock file "<id>.lock" in the user's runtime directory is the primary; once its
// application object exists it listen()s on the socket "<id>.socket" beside it and emits
// messageReceived() for every message. (The decision needs no application object, so a
// secondary start never needs a display.) Every later
// process finds the lock taken and may sendMessage() to the primary. The lock of a crashed
// primary is stale (its process is gone) and is taken over; so is its socket file. The
// runtime directory belongs to the user alone (mode 0700), so no other user can reach the
// socket or take the name.
//
// A message is at most MaximumMessageBytes of UTF-8 ended by a line feed; the primary
// answers "ok\n" once it has taken it. A peer that sends more, or nothing for
// PeerTimeoutMs, is dropped; the primary never blocks on a peer.
class SingleInstance : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY(SingleInstance)

public:
    static constexpr int MaximumMessageBytes = 1024;
    static constexpr int PeerTimeoutMs = 5000;

    // directory: where the lock and the socket live; empty for the user's runtime directory.
    explicit SingleInstance(const QString &id, const QString &directory = QString(),
                            QObject *parent = nullptr);
    ~SingleInstance() override;

    // "Corvane-Agent-<user id>": one instance per user of the computer.
    static QString userInstanceId();

    // True when another process holds the instance; false when this one became the primary
    // (also when no lock can be made at all, which is logged).
    bool isRunning();
    // The primary's message socket. False (logged) when it cannot listen; the program still
    // runs, as the only instance, without messages.
    bool listen();
    // Sends a message to the primary and waits up to timeoutMs for its acknowledgement.
    // Meant for a secondary process before its event loop runs: it blocks the caller.
    bool sendMessage(const QString &message, int timeoutMs);

    QString lockFilePath() const;
    QString socketPath() const;

Q_SIGNALS:
    void messageReceived(const QString &message);

private Q_SLOTS:
    void server_newConnection();

private:
    QString m_directory;
    QString m_id;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer m_server;
    enum class Role { Undecided, Primary, Secondary } m_role = Role::Undecided;
};
