#include "reconnectbackoff.h"

#include <algorithm>

quint16 ReconnectBackoff::take()
{
    const quint16 now = m_seconds;
    m_seconds = quint16(std::min<int>(int(m_seconds) * 2, MaximumSeconds));
    return now;
}
