#include "udprelay.h"

#include "idgenerator.h"
#include "ratelimitedwarning.h"
#include "sockaddress_p.h"

#include <QElapsedTimer>
#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <cstring>

#include <sys/epoll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace DNS {

namespace {

// RFC 1035 4.1.1 RCODE values.
constexpr quint8 ServerFailure = 2;
constexpr quint8 Refused = 5;

// Client datagrams read per recvmmsg(), and rounds of it per notification before other
// sockets get a turn; upstream readiness events taken per epoll_wait().
constexpr int ClientBatch = 16;
constexpr int ClientRounds = 4;
constexpr int UpstreamBatch = 64;
constexpr int UpstreamRounds = 4;
// Datagrams read from one upstream socket per readiness: the answer, and room for a few
// strays before it.
constexpr int ReadsPerUpstreamSocket = 4;
constexpr int MaxDatagram = 65535;

qint64 steadyMilliseconds()
{
    static QElapsedTimer clock = [] {
        QElapsedTimer timer;
        timer.start();
        return timer;
    }();
    return clock.elapsed();
}

RateLimitedWarning &pendingWarning()
{
    static RateLimitedWarning warning(QStringLiteral("DNS proxy: too many queries in flight, dropped a query"));
    return warning;
}

RateLimitedWarning &unclaimedWarning()
{
    static RateLimitedWarning warning(QStringLiteral("Dropped a DNS message that no waiting query took"));
    return warning;
}

quint64 eventTag(quint32 slot, quint32 generation)
{
    return (quint64(slot) << 32) | generation;
}

} // namespace

struct UdpRelay::Slot
{
    int fd = -1;
    quint32 generation = 0;
    quint16 clientId = 0;
    Client client;
    Packet sent; // the query as it went upstream, id and token included
};

// Buffers of the batched system calls, allocated once per start.
struct UdpRelay::Batch
{
    std::vector<char> buffers = std::vector<char>(size_t(ClientBatch) * MaxDatagram);
    mmsghdr headers[ClientBatch] {};
    iovec vectors[ClientBatch] {};
    sockaddr_storage addresses[ClientBatch] {};
    char answer[MaxDatagram];
    epoll_event events[UpstreamBatch] {};

    // Answers waiting for one sendmmsg().
    struct Outgoing
    {
        Client to;
        QByteArray message;
    };
    std::vector<Outgoing> outgoing;
    std::vector<mmsghdr> outgoingHeaders;
    std::vector<iovec> outgoingVectors;
    sockaddr_storage upstream {};
    socklen_t upstreamLength = 0;
    int upstreamFamily = AF_INET;
};

UdpRelay::UdpRelay(QObject *parent)
    : QObject(parent)
{
}

UdpRelay::~UdpRelay()
{
    stop();
}

bool UdpRelay::isRunning() const
{
    return m_clientFd >= 0;
}

bool UdpRelay::start(const Endpoint &local, const Setup &setup, QString *error)
{
    if (isRunning())
        return true;
    sockaddr_storage address;
    const socklen_t length = endpointToSockaddr(local, &address);
    const int fd = ::socket(addressFamily(local), SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr *>(&address), length) != 0) {
        *error = QString::fromLocal8Bit(std::strerror(errno));
        if (fd >= 0)
            ::close(fd);
        return false;
    }
    const int epollFd = ::epoll_create1(EPOLL_CLOEXEC);
    if (epollFd < 0) {
        *error = QString::fromLocal8Bit(std::strerror(errno));
        ::close(fd);
        return false;
    }
    m_setup = setup;
    if (!m_setup.inFlight)
        m_setup.inFlight = QSharedPointer<int>::create(0);
    m_clientFd = fd;
    m_epollFd = epollFd;
    m_batch.reset(new Batch);
    for (int i = 0; i < ClientBatch; ++i) {
        m_batch->vectors[i].iov_base = m_batch->buffers.data() + size_t(i) * MaxDatagram;
        m_batch->vectors[i].iov_len = MaxDatagram;
    }
    m_batch->upstreamLength = endpointToSockaddr(setup.upstream, &m_batch->upstream);
    m_batch->upstreamFamily = addressFamily(setup.upstream);
    m_batch->outgoing.reserve(UpstreamBatch);
    m_slots.assign(size_t(qMax(1, setup.maxInFlight)), Slot());
    m_free.clear();
    m_free.reserve(m_slots.size());
    for (quint32 i = quint32(m_slots.size()); i > 0; --i)
        m_free.push_back(i - 1);

    m_clientNotifier = new QSocketNotifier(m_clientFd, QSocketNotifier::Read, this);
    connect(m_clientNotifier, &QSocketNotifier::activated, this, &UdpRelay::readClients);
    m_upstreamNotifier = new QSocketNotifier(m_epollFd, QSocketNotifier::Read, this);
    connect(m_upstreamNotifier, &QSocketNotifier::activated, this, &UdpRelay::readUpstream);
    m_expiry = new QTimer(this);
    m_expiry->setSingleShot(true);
    m_expiry->setTimerType(Qt::CoarseTimer);
    connect(m_expiry, &QTimer::timeout, this, &UdpRelay::expire);
    return true;
}

void UdpRelay::stop()
{
    if (!isRunning())
        return;
    delete m_clientNotifier;
    m_clientNotifier = nullptr;
    delete m_upstreamNotifier;
    m_upstreamNotifier = nullptr;
    delete m_expiry;
    m_expiry = nullptr;
    for (quint32 i = 0; i < m_slots.size(); ++i) {
        if (m_slots[i].fd >= 0)
            release(i);
    }
    m_deadlines.clear();
    ::close(m_epollFd);
    ::close(m_clientFd);
    m_epollFd = m_clientFd = -1;
    m_batch.reset();
}

bool UdpRelay::setReceiveBufferSize(int bytes)
{
    if (m_clientFd < 0)
        return false;
    // Past net.core.rmem_max only with privilege, which the service has; others get the cap.
    return ::setsockopt(m_clientFd, SOL_SOCKET, SO_RCVBUFFORCE, &bytes, sizeof(bytes)) == 0
        || ::setsockopt(m_clientFd, SOL_SOCKET, SO_RCVBUF, &bytes, sizeof(bytes)) == 0;
}

void UdpRelay::readClients()
{
    Batch &batch = *m_batch;
    for (int round = 0; round < ClientRounds && m_clientFd >= 0; ++round) {
        for (int i = 0; i < ClientBatch; ++i) {
            batch.headers[i].msg_hdr = msghdr {};
            batch.headers[i].msg_hdr.msg_name = &batch.addresses[i];
            batch.headers[i].msg_hdr.msg_namelen = sizeof(sockaddr_storage);
            batch.headers[i].msg_hdr.msg_iov = &batch.vectors[i];
            batch.headers[i].msg_hdr.msg_iovlen = 1;
        }
        const int received = ::recvmmsg(m_clientFd, batch.headers, ClientBatch, MSG_DONTWAIT, nullptr);
        if (received <= 0)
            break;
        // The client's address stays as the kernel gave it: the answer goes back there.
        for (int i = 0; i < received && m_clientFd >= 0; ++i) {
            const auto &header = batch.headers[i];
            takeQuery(static_cast<const char *>(batch.vectors[i].iov_base), int(header.msg_len),
                      Client{batch.addresses[i], header.msg_hdr.msg_namelen});
        }
        // Fewer than asked for: the socket is drained, no need to find it empty.
        if (received < ClientBatch)
            break;
    }
    flushReplies();
}

void UdpRelay::takeQuery(const char *data, int size, const Client &client)
{
    Packet query(QByteArray(data, size));
    if (!query.isAcceptable()) {
        ++m_counters.malformed;
        return;
    }
    ++m_counters.queries;
    const quint16 clientId = query.id();
    if (query.isResponse()) {
        replyWithCode(query, clientId, Refused, client);
        return;
    }
    Packet local;
    if (m_setup.localAnswer && m_setup.localAnswer(query, &local)) {
        local.setId(clientId);
        reply(client, local.bytes());
        return;
    }
    forward(query, client);
}

void UdpRelay::forward(Packet &query, const Client &client)
{
    const quint16 clientId = query.id();
    if (*m_setup.inFlight >= m_setup.maxInFlight) {
        ++m_counters.overLimit;
        pendingWarning().warn();
        return;
    }
    // Forwarding without the token would let the query bypass the account's filtering.
    const quint32 token = m_setup.token ? m_setup.token() : 0;
    if (token != 0 && !query.appendTokenRecord(token)) {
        replyWithCode(query, clientId, ServerFailure, client);
        return;
    }
    quint32 index = 0;
    if (!acquire(&index)) {
        ++m_counters.overLimit;
        pendingWarning().warn();
        return;
    }
    Slot &slot = m_slots[index];
    slot.clientId = clientId;
    slot.client = client;
    query.setId(m_setup.ids ? m_setup.ids->next() : 0);
    slot.sent = query;

    const Batch &batch = *m_batch;
    slot.fd = ::socket(batch.upstreamFamily, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    epoll_event event {};
    event.events = EPOLLIN;
    event.data.u64 = eventTag(index, slot.generation);
    const QByteArray bytes = query.bytes();
    const bool sent = slot.fd >= 0
        && ::connect(slot.fd, reinterpret_cast<const sockaddr *>(&batch.upstream), batch.upstreamLength) == 0
        && ::epoll_ctl(m_epollFd, EPOLL_CTL_ADD, slot.fd, &event) == 0
        && ::send(slot.fd, bytes.constData(), size_t(bytes.size()), MSG_NOSIGNAL) == bytes.size();
    if (!sent) {
        release(index);
        replyWithCode(query, clientId, ServerFailure, client);
        return;
    }
    const bool wasEmpty = m_deadlines.empty();
    m_deadlines.push_back({steadyMilliseconds() + qint64(m_setup.timeoutSeconds) * 1000, index, slot.generation});
    if (wasEmpty)
        armExpiry();
}

bool UdpRelay::acquire(quint32 *index)
{
    if (m_free.empty())
        return false;
    *index = m_free.back();
    m_free.pop_back();
    ++m_active;
    ++*m_setup.inFlight;
    return true;
}

void UdpRelay::release(quint32 index)
{
    Slot &slot = m_slots[index];
    if (slot.fd >= 0)
        ::close(slot.fd); // closing also takes it out of the epoll set
    slot.fd = -1;
    slot.sent = Packet();
    ++slot.generation;
    m_free.push_back(index);
    --m_active;
    --*m_setup.inFlight;
}

void UdpRelay::readUpstream()
{
    Batch &batch = *m_batch;
    for (int round = 0; round < UpstreamRounds && m_epollFd >= 0; ++round) {
        const int ready = ::epoll_wait(m_epollFd, batch.events, UpstreamBatch, 0);
        if (ready <= 0)
            break;
        for (int i = 0; i < ready; ++i) {
            const quint64 tag = batch.events[i].data.u64;
            const quint32 index = quint32(tag >> 32);
            if (index < m_slots.size() && m_slots[index].fd >= 0 && m_slots[index].generation == quint32(tag))
                answerSlot(index);
        }
        if (ready < UpstreamBatch)
            break;
    }
    flushReplies();
}

// Reading also clears a pending ICMP error (port unreachable) without acting on it: an
// unreachable resolver ends the query through its time-out.
void UdpRelay::answerSlot(quint32 index)
{
    Batch &batch = *m_batch;
    Slot &slot = m_slots[index];
    for (int read = 0; read < ReadsPerUpstreamSocket; ++read) {
        const ssize_t received = ::recv(slot.fd, batch.answer, sizeof(batch.answer), MSG_DONTWAIT);
        if (received < 0) {
            if (errno == EAGAIN || errno == EWOULDBLOCK)
                return;
            continue;
        }
        Packet answer(QByteArray(batch.answer, int(received)));
        if (!answer.isAcceptable() || !answer.isResponseTo(slot.sent)) {
            ++m_counters.unclaimed;
            unclaimedWarning().warn();
            continue;
        }
        answer.setId(slot.clientId);
        batch.outgoing.push_back({slot.client, answer.bytes()});
        release(index);
        if (batch.outgoing.size() >= size_t(UpstreamBatch))
            flushReplies();
        return;
    }
}

void UdpRelay::reply(const Client &client, const QByteArray &message)
{
    m_batch->outgoing.push_back({client, message});
    if (m_batch->outgoing.size() >= size_t(UpstreamBatch))
        flushReplies();
}

// The working packet as it stands (with the token record when it was added), under the
// client's id, QR set and RCODE replaced; the rest of bytes 2 and 3 is kept.
void UdpRelay::replyWithCode(Packet query, quint16 clientId, quint8 rcode, const Client &client)
{
    query.setId(clientId);
    query.setResponse(true);
    query.setRcode(rcode);
    reply(client, query.bytes());
}

void UdpRelay::flushReplies()
{
    if (!m_batch)
        return;
    auto &outgoing = m_batch->outgoing;
    if (outgoing.empty() || m_clientFd < 0) {
        outgoing.clear();
        return;
    }
    std::vector<mmsghdr> &headers = m_batch->outgoingHeaders;
    std::vector<iovec> &vectors = m_batch->outgoingVectors;
    headers.resize(outgoing.size());
    vectors.resize(outgoing.size());
    for (size_t i = 0; i < outgoing.size(); ++i) {
        vectors[i].iov_base = const_cast<char *>(outgoing[i].message.constData());
        vectors[i].iov_len = size_t(outgoing[i].message.size());
        headers[i].msg_hdr = msghdr {};
        headers[i].msg_hdr.msg_name = &outgoing[i].to.address;
        headers[i].msg_hdr.msg_namelen = outgoing[i].to.length;
        headers[i].msg_hdr.msg_iov = &vectors[i];
        headers[i].msg_hdr.msg_iovlen = 1;
    }
    // A client whose socket buffer is full loses that answer, as with any UDP answer; the
    // others still go.
    size_t done = 0;
    while (done < headers.size()) {
        const int sent = ::sendmmsg(m_clientFd, headers.data() + done, unsigned(headers.size() - done), MSG_NOSIGNAL);
        done += sent > 0 ? size_t(sent) : 1;
    }
    outgoing.clear();
}

void UdpRelay::expire()
{
    const qint64 now = steadyMilliseconds();
    while (!m_deadlines.empty() && m_deadlines.front().at <= now) {
        const Deadline due = m_deadlines.front();
        m_deadlines.pop_front();
        if (m_slots[due.slot].fd >= 0 && m_slots[due.slot].generation == due.generation) {
            ++m_counters.timedOut;
            release(due.slot);
        }
    }
    armExpiry();
}

// Every query waits the same time, so deadlines come in the order queries went out and the
// timer only ever waits for the oldest one.
void UdpRelay::armExpiry()
{
    if (!m_expiry || m_deadlines.empty())
        return;
    m_expiry->start(int(qBound<qint64>(0, m_deadlines.front().at - steadyMilliseconds(), 3600000)));
}

} // namespace DNS
