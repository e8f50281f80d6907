#include "ipcframe.h"

#include <QIODevice>
#include <QtEndian>

#include <cstring>

namespace IpcFrame {

QByteArray encode(const QByteArray &utf8Text, bool response)
{
    if (utf8Text.size() >= MaximumLength)
        return QByteArray();
    QByteArray frame(HeaderSize + utf8Text.size(), Qt::Uninitialized);
    qToLittleEndian<qint32>(utf8Text.size() + 1, frame.data());
    frame[LengthSize] = char(response ? ResponseKind : RequestKind);
    std::memcpy(frame.data() + HeaderSize, utf8Text.constData(), size_t(utf8Text.size()));
    return frame;
}

} // namespace IpcFrame

IpcFrameReader::IpcFrameReader(qint32 maximumLength)
    : m_maximumLength(maximumLength)
{
}

IpcFrameReader::Status IpcFrameReader::read(QIODevice *device)
{
    while (m_status == NeedMore) {
        const qint64 wanted = qMin(missing(), device->bytesAvailable());
        if (wanted <= 0)
            return m_status;
        if (m_headerFill < IpcFrame::HeaderSize) {
            char header[IpcFrame::HeaderSize];
            const qint64 got = device->read(header, wanted);
            if (got <= 0)
                return m_status;
            accept(header, got);
        } else {
            // Straight into the text buffer: it grows by what arrived, never by what the
            // header announced.
            const int old = m_text.size();
            m_text.resize(old + int(wanted));
            const qint64 got = device->read(m_text.data() + old, wanted);
            m_text.resize(old + int(qMax<qint64>(got, 0)));
            if (got <= 0)
                return m_status;
            if (missing() == 0)
                m_status = FrameReady;
        }
    }
    return m_status;
}

IpcFrameReader::Status IpcFrameReader::feed(const char *data, qint64 size, qint64 *consumed)
{
    qint64 used = 0;
    while (m_status == NeedMore && used < size) {
        const qint64 chunk = qMin(missing(), size - used);
        accept(data + used, chunk);
        used += chunk;
    }
    if (consumed)
        *consumed = used;
    return m_status;
}

QByteArray IpcFrameReader::takeText()
{
    if (m_status != FrameReady)
        return QByteArray();
    QByteArray text;
    text.swap(m_text);
    m_headerFill = 0;
    m_length = 0;
    m_kind = IpcFrame::RequestKind;
    m_status = NeedMore;
    return text;
}

void IpcFrameReader::reset()
{
    m_text.clear();
    m_headerFill = 0;
    m_length = 0;
    m_kind = IpcFrame::RequestKind;
    m_errorString.clear();
    m_status = NeedMore;
}

qint64 IpcFrameReader::missing() const
{
    if (m_headerFill < IpcFrame::HeaderSize)
        return IpcFrame::HeaderSize - m_headerFill;
    return qint64(m_length) - 1 - m_text.size();
}

// size never exceeds missing(), so a call completes at most one part of the frame.
IpcFrameReader::Status IpcFrameReader::accept(const char *data, qint64 size)
{
    if (m_headerFill < IpcFrame::HeaderSize) {
        const bool hadLength = m_headerFill >= IpcFrame::LengthSize;
        std::memcpy(m_header + m_headerFill, data, size_t(size));
        m_headerFill += int(size);
        // Judge the length as soon as its four bytes are in, before waiting for more.
        if (!hadLength && m_headerFill >= IpcFrame::LengthSize) {
            m_length = qFromLittleEndian<qint32>(m_header);
            if (m_length < 1 || m_length > m_maximumLength) {
                m_errorString = QStringLiteral("invalid IPC frame length %1 (allowed 1 to %2)")
                                    .arg(m_length)
                                    .arg(m_maximumLength);
                m_status = Invalid;
                return m_status;
            }
        }
        if (m_headerFill == IpcFrame::HeaderSize)
            return headerComplete();
        return m_status;
    }
    m_text.append(data, int(size));
    if (missing() == 0)
        m_status = FrameReady;
    return m_status;
}

IpcFrameReader::Status IpcFrameReader::headerComplete()
{
    m_kind = quint8(m_header[IpcFrame::LengthSize]);
    if (m_length == 1)
        m_status = FrameReady;
    return m_status;
}
