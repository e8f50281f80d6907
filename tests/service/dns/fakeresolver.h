#pragma once

// A resolver that the DNS tests run on loopback, in the test's own event loop: UDP and
// TCP on one port, recording every message it receives and answering as told.

#include "dnsname.h"

#include <QHostAddress>
#include <QList>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUdpSocket>

#include <functional>

class FakeResolver
{
public:
    enum Behaviour {
        Answer,           // one answer per query
        Silent,           // records, never answers
        WrongIdFirst,     // an answer with another id, then the right one
        TwelveByteFirst,  // a 12-byte answer, then the right one
        TwoFramesAtOnce,  // TCP: answers held until two queries came, written in one go
        CloseFirstConnection, // TCP: the first connection is closed once a query came on it
    };

    struct Received
    {
        QByteArray bytes;
        bool tcp;
    };

    Behaviour behaviour = Answer;
    QList<Received> received;

    ~FakeResolver()
    {
        for (QTcpSocket *socket : m_clients)
            delete socket;
    }

    bool start()
    {
        for (int attempt = 0; attempt < 20; ++attempt) {
            m_udp.close();
            if (!m_udp.bind(QHostAddress(QHostAddress::LocalHost), 0))
                continue;
            if (m_tcp.listen(QHostAddress::LocalHost, m_udp.localPort()))
                break;
        }
        if (!m_tcp.isListening())
            return false;
        QObject::connect(&m_udp, &QUdpSocket::readyRead, [this] { readUdp(); });
        QObject::connect(&m_tcp, &QTcpServer::newConnection, [this] { acceptTcp(); });
        return true;
    }

    quint16 port() const { return m_udp.localPort(); }
    int tcpConnections() const { return m_connectionsAccepted; }
    void closeTcpClients()
    {
        for (QTcpSocket *socket : m_clients)
            socket->abort();
    }

    // The answer to query: header with QR and RA set, the question copied, one A record
    // 1.2.3.4 named by a pointer to the question.
    static QByteArray answerTo(const QByteArray &query)
    {
        quint16 cursor = 12;
        QByteArray name;
        if (query.size() <= 12 || !DNS::readName(query, &cursor, &name) || cursor + 4 > query.size())
            return QByteArray();
        QByteArray answer = query.left(12);
        answer[2] = char(answer[2] | 0x80);
        answer[3] = char(0x80);
        answer[4] = 0;
        answer[5] = 1;
        answer[6] = 0;
        answer[7] = 1;
        answer[8] = answer[9] = answer[10] = answer[11] = 0;
        answer.append(query.mid(12, cursor + 4 - 12));
        answer.append(QByteArray::fromHex("c00c000100010000003c000401020304"));
        return answer;
    }

private:
    void readUdp()
    {
        while (m_udp.hasPendingDatagrams()) {
            QByteArray datagram(int(m_udp.pendingDatagramSize()), '\0');
            QHostAddress from;
            quint16 port = 0;
            m_udp.readDatagram(datagram.data(), datagram.size(), &from, &port);
            received.append({datagram, false});
            const QByteArray answer = answerTo(datagram);
            if (behaviour == Silent || answer.isEmpty())
                continue;
            if (behaviour == WrongIdFirst) {
                QByteArray wrong = answer;
                wrong[0] = char(wrong[0] ^ 0x5A);
                m_udp.writeDatagram(wrong, from, port);
            }
            if (behaviour == TwelveByteFirst)
                m_udp.writeDatagram(answer.left(12), from, port);
            m_udp.writeDatagram(answer, from, port);
        }
    }

    void acceptTcp()
    {
        while (QTcpSocket *socket = m_tcp.nextPendingConnection()) {
            ++m_connectionsAccepted;
            m_clients.append(socket);
            auto buffer = std::make_shared<QByteArray>();
            QObject::connect(socket, &QTcpSocket::readyRead, [this, socket, buffer] {
                buffer->append(socket->readAll());
                while (buffer->size() >= 2) {
                    const int length = (uchar(buffer->at(0)) << 8) | uchar(buffer->at(1));
                    if (buffer->size() < length + 2)
                        break;
                    const QByteArray query = buffer->mid(2, length);
                    buffer->remove(0, length + 2);
                    received.append({query, true});
                    answerTcp(socket, query);
                }
            });
        }
    }

    static QByteArray frame(const QByteArray &message)
    {
        QByteArray out;
        out.append(char(message.size() >> 8)).append(char(message.size() & 0xFF)).append(message);
        return out;
    }

    void answerTcp(QTcpSocket *socket, const QByteArray &query)
    {
        if (behaviour == CloseFirstConnection && socket == m_clients.first()) {
            socket->abort();
            return;
        }
        const QByteArray answer = answerTo(query);
        if (behaviour == Silent || answer.isEmpty())
            return;
        if (behaviour == TwoFramesAtOnce) {
            m_held.append(frame(answer));
            if (m_held.count() == 2) {
                socket->write(m_held.join());
                m_held.clear();
            }
            return;
        }
        if (behaviour == WrongIdFirst) {
            QByteArray wrong = answer;
            wrong[0] = char(wrong[0] ^ 0x5A);
            socket->write(frame(wrong));
        }
        if (behaviour == TwelveByteFirst)
            socket->write(frame(answer.left(12)));
        socket->write(frame(answer));
    }

    QUdpSocket m_udp;
    QTcpServer m_tcp;
    QList<QTcpSocket *> m_clients;
    QList<QByteArray> m_held;
    int m_connectionsAccepted = 0;
};
