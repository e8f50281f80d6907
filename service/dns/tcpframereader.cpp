#include "tcpframereader.h"

#include <QtGlobal>

namespace DNS {

int TcpFrameReader::append(const char *data, int size)
{
    if (m_start > 0) {
        m_buffer.remove(0, m_start);
        m_start = 0;
    }
    const int taken = qMin(size, room());
    if (taken > 0)
        m_buffer.append(data, taken);
    return taken;
}

bool TcpFrameReader::next(QByteArray *message)
{
    const int available = m_buffer.size() - m_start;
    if (available < 2)
        return false;
    const auto *data = reinterpret_cast<const uchar *>(m_buffer.constData()) + m_start;
    const int length = (data[0] << 8) | data[1];
    if (length + 2 > available)
        return false;
    *message = QByteArray(reinterpret_cast<const char *>(data) + 2, length);
    m_start += length + 2;
    if (m_start == m_buffer.size()) {
        m_buffer.clear();
        m_start = 0;
    }
    return true;
}

void TcpFrameReader::clear()
{
    m_buffer.clear();
    m_start = 0;
}

QByteArray frameMessage(const QByteArray &message)
{
    if (message.size() > 0xFFFF)
        return QByteArray();
    QByteArray out;
    out.reserve(message.size() + 2);
    out.append(char(message.size() >> 8));
    out.append(char(message.size() & 0xFF));
    out.append(message);
    return out;
}

} // namespace DNS
