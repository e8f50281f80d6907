#pragma once

#include <QByteArray>
#include <QString>

// Incremental reader of the request head of the block page server (RFC 7230 3):
//
//   request-line = method SP request-target SP HTTP-version CRLF
//   *( header-field CRLF )
//   CRLF
//
// It buffers at most MaxHeaderBlock bytes of head plus its terminator, whatever a client
// sends: a head that does not end within that is a bad request. The method is never
// looked at; the body, if any, is ignored.
class HttpRequestParser
{
public:
    enum State { Reading, Ready, Bad };

    // Largest header block accepted, in bytes, terminator not counted.
    static constexpr int MaxHeaderBlock = 16383;

    // How many more bytes the parser takes; the caller reads no more than that from its
    // socket (0 once the head is complete or rejected).
    int room() const;

    // Adds bytes received (anything past room() is ignored) and returns the new state.
    State feed(const QByteArray &data);

    State state() const { return m_state; }
    const QString &target() const { return m_target; }
    const QString &version() const { return m_version; }
    const QString &host() const { return m_host; }

private:
    State parse(int headEnd);

    QByteArray m_buffer;
    State m_state = Reading;
    QString m_target;
    QString m_version;
    QString m_host;
};
