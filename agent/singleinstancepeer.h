#pragma once

#include <QObject>
#include <QTimer>

class QLocalSocket;

// One connection to the primary instance: reads one message line, acknowledges it and
// goes. Deletes itself (and its socket) when the peer leaves, misbehaves or times out.
class SingleInstancePeer : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY(SingleInstancePeer)

public:
    SingleInstancePeer(QLocalSocket *socket, int maximumBytes, int timeoutMs, QObject *parent);

Q_SIGNALS:
    void messageReceived(const QString &message);

private Q_SLOTS:
    void socket_readyRead();

private:
    void finish();

    QLocalSocket *m_socket;
    QTimer m_timeout;
    int m_maximumBytes;
    bool m_done = false;
    bool m_finished = false;
};
