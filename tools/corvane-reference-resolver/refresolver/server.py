"""The sockets: DNS over UDP and over length-framed TCP (RFC 1035 4.2, RFC 7766), one
thread, one selector.

TCP clients may pipeline queries; each answer is written in the order its query arrived.
Every connection is bounded: a frame is at most 65535 bytes by its own length field, a
client that stops reading has its reading paused once its unread answers pass a limit, a
frame that does not complete or answers that are not taken within the read time-out close
the connection, an idle connection closes after the idle time, and at the connection limit
the one idle longest makes room.
"""

import errno
import selectors
import signal
import socket
import struct
import time

UDP_BATCH = 64
ACCEPT_BATCH = 64
RECV_SIZE = 65536
# Unread answers after which a TCP client's further queries wait for it to read.
MAX_PENDING_OUTPUT = 256 * 1024
# The kernel's share of a TCP client's unread answers, fixed so that it cannot grow to
# the system's autotuning maximum per connection.
TCP_SEND_BUFFER = 64 * 1024
TIMER_PERIOD = 0.25


class Limits:
    def __init__(self, tcp_idle=300.0, tcp_read_timeout=10.0, max_tcp_clients=256):
        self.tcp_idle = tcp_idle  # seconds
        self.tcp_read_timeout = tcp_read_timeout  # seconds
        self.max_tcp_clients = max_tcp_clients


def parse_endpoint(text):
    """"127.0.0.1:1253" or "[::1]:1253" -> (family, address, port); raises ValueError."""
    host, sep, port = text.rpartition(":")
    if not sep or not port.isdigit() or int(port) > 0xFFFF:
        raise ValueError(f"{text!r} is not ADDRESS:PORT")
    if host.startswith("[") and host.endswith("]"):
        host = host[1:-1]
    family = socket.AF_INET6 if ":" in host else socket.AF_INET
    try:
        socket.inet_pton(family, host)
    except OSError:
        raise ValueError(f"{host!r} is not an IP address") from None
    return family, host, int(port)


def endpoint_text(address, port):
    return f"[{address}]:{port}" if ":" in address else f"{address}:{port}"


def bind_sockets(family, address, port, attempts=20):
    """A UDP and a TCP socket bound to the same port; port 0 picks one free for both."""
    for _ in range(attempts if port == 0 else 1):
        udp = socket.socket(family, socket.SOCK_DGRAM)
        tcp = socket.socket(family, socket.SOCK_STREAM)
        try:
            for sock in (udp, tcp):
                if family == socket.AF_INET6:
                    sock.setsockopt(socket.IPPROTO_IPV6, socket.IPV6_V6ONLY, 1)
            tcp.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
            udp.bind((address, port))
            tcp.bind((address, udp.getsockname()[1]))
            tcp.listen(128)
        except OSError as error:
            udp.close()
            tcp.close()
            if port == 0 and error.errno == errno.EADDRINUSE:
                continue
            raise
        for sock in (udp, tcp):
            sock.setblocking(False)
        try:
            udp.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, 1 << 20)
        except OSError:
            pass
        return udp, tcp
    raise OSError(errno.EADDRINUSE, "no port free for both UDP and TCP")


class TcpClient:
    __slots__ = ("sock", "peer", "inbuf", "outbuf", "last_activity", "partial_since",
                 "write_stalled_since", "events", "eof")

    def __init__(self, sock, peer, now):
        self.sock = sock
        self.peer = peer[:2]
        self.inbuf = bytearray()
        self.outbuf = bytearray()
        self.last_activity = now
        self.partial_since = None  # when the frame still incomplete began
        self.write_stalled_since = None  # since when answers wait without progress
        self.events = selectors.EVENT_READ
        self.eof = False  # the client closed its side; answers still owed go out first


class Server:
    def __init__(self, resolver, udp, tcp, limits, clock=time.monotonic, tick=None):
        self.resolver = resolver
        self.tick = tick  # called about every TIMER_PERIOD seconds
        self.counters = resolver.counters
        self.udp = udp
        self.tcp = tcp
        self.limits = limits
        self.clock = clock
        self.clients = {}  # socket -> TcpClient
        self.stopping = False
        self.selector = selectors.DefaultSelector()
        self._wake_r, self._wake_w = socket.socketpair()
        for sock in (self._wake_r, self._wake_w):
            sock.setblocking(False)
        self.selector.register(udp, selectors.EVENT_READ, self._read_udp)
        self.selector.register(tcp, selectors.EVENT_READ, self._accept)
        self.selector.register(self._wake_r, selectors.EVENT_READ, self._drain_wake)
        self._next_timer = 0.0

    def install_signal_handlers(self):
        signal.set_wakeup_fd(self._wake_w.fileno(), warn_on_full_buffer=False)
        for number in (signal.SIGTERM, signal.SIGINT):
            signal.signal(number, self._on_signal)

    def _on_signal(self, number, frame):
        self.stopping = True

    def run(self):
        while not self.stopping:
            timeout = max(0.0, self._next_timer - self.clock())
            events = self.selector.select(timeout)
            for key, mask in events:
                if self.stopping:
                    break
                handler = key.data
                if isinstance(handler, TcpClient):
                    self._service_client(handler, mask)
                else:
                    handler()
            now = self.clock()
            if now >= self._next_timer:
                self._expire_clients(now)
                # Also without queries, so that a change of the data file is reported promptly.
                self.resolver.data.refresh()
                if self.tick:
                    self.tick()
                self._next_timer = now + TIMER_PERIOD

    def close(self):
        for client in list(self.clients.values()):
            self._close_client(client, None)
        for sock in (self.udp, self.tcp, self._wake_r, self._wake_w):
            try:
                self.selector.unregister(sock)
            except (KeyError, ValueError):
                pass
            sock.close()
        self.selector.close()

    def _drain_wake(self):
        try:
            while self._wake_r.recv(4096):
                pass
        except BlockingIOError:
            pass

    # UDP

    def _read_udp(self):
        for _ in range(UDP_BATCH):
            try:
                message, peer = self.udp.recvfrom(RECV_SIZE)
            except (BlockingIOError, InterruptedError):
                return
            except OSError:
                self.counters["udp receive errors"] += 1
                return
            response = self.resolver.handle(message, peer[:2], "udp")
            if response is None:
                continue
            try:
                self.udp.sendto(response, peer)
            except OSError:
                # A full send buffer or an unreachable client: the client's retry takes over.
                self.counters["dropped udp send failed"] += 1

    # TCP

    def _accept(self):
        for _ in range(ACCEPT_BATCH):
            try:
                sock, peer = self.tcp.accept()
            except (BlockingIOError, InterruptedError):
                return
            except OSError:
                # Out of descriptors and the like: try again at the next readiness.
                self.counters["tcp accept errors"] += 1
                return
            if len(self.clients) >= self.limits.max_tcp_clients:
                oldest = min(self.clients.values(), key=lambda c: c.last_activity)
                self._close_client(oldest, "tcp closed to make room")
            sock.setblocking(False)
            sock.setsockopt(socket.SOL_SOCKET, socket.SO_SNDBUF, TCP_SEND_BUFFER)
            client = TcpClient(sock, peer, self.clock())
            self.clients[sock] = client
            self.selector.register(sock, client.events, client)

    def _service_client(self, client, mask):
        if mask & selectors.EVENT_WRITE:
            self._flush(client)
        if client.sock in self.clients and mask & selectors.EVENT_READ:
            self._read_client(client)

    def _read_client(self, client):
        try:
            chunk = client.sock.recv(RECV_SIZE)
        except (BlockingIOError, InterruptedError):
            return
        except OSError:
            self._close_client(client, "tcp closed on error")
            return
        if not chunk:
            client.eof = True
            client.partial_since = None
            if not client.outbuf:
                self._close_client(client, None)
            else:
                self._flush(client)
            return
        now = self.clock()
        client.last_activity = now
        client.inbuf += chunk
        completed = self._answer_frames(client)
        if client.sock not in self.clients:
            return
        if not client.inbuf:
            client.partial_since = None
        elif completed or client.partial_since is None:
            client.partial_since = now
        self._flush(client)

    def _answer_frames(self, client):
        """Answers every complete frame in the input buffer; returns how many there were."""
        buffer = client.inbuf
        offset = 0
        count = 0
        while len(buffer) - offset >= 2:
            (length,) = struct.unpack_from("!H", buffer, offset)
            if length == 0:
                # Nothing can follow a frame that holds no message; the stream is garbage.
                self._close_client(client, "tcp closed on empty frame")
                return count
            if len(buffer) - offset - 2 < length:
                break
            message = bytes(buffer[offset + 2:offset + 2 + length])
            offset += 2 + length
            count += 1
            response = self.resolver.handle(message, client.peer, "tcp")
            if response is not None:
                client.outbuf += struct.pack("!H", len(response)) + response
        del buffer[:offset]
        return count

    def _flush(self, client):
        if client.outbuf:
            try:
                sent = client.sock.send(client.outbuf)
            except (BlockingIOError, InterruptedError):
                sent = 0
            except OSError:
                self._close_client(client, "tcp closed on error")
                return
            if sent:
                del client.outbuf[:sent]
                client.last_activity = self.clock()
                client.write_stalled_since = None
        if client.outbuf and client.write_stalled_since is None:
            client.write_stalled_since = self.clock()
        if client.eof and not client.outbuf:
            self._close_client(client, None)
            return
        reading = not client.eof and len(client.outbuf) < MAX_PENDING_OUTPUT
        if not reading and not client.eof and client.events & selectors.EVENT_READ:
            self.counters["tcp reading paused"] += 1
        events = (selectors.EVENT_READ if reading else 0) | \
            (selectors.EVENT_WRITE if client.outbuf else 0)
        if events != client.events:
            client.events = events
            self.selector.modify(client.sock, events, client)

    def _expire_clients(self, now):
        limits = self.limits
        for client in list(self.clients.values()):
            # Unread answers first: a client whose reading is paused cannot complete a frame.
            if client.write_stalled_since is not None \
                    and now - client.write_stalled_since > limits.tcp_read_timeout:
                self._close_client(client, "tcp closed on unread answers")
            elif client.partial_since is not None and now - client.partial_since > limits.tcp_read_timeout:
                self._close_client(client, "tcp closed on incomplete frame")
            elif now - client.last_activity > limits.tcp_idle:
                self._close_client(client, "tcp closed idle")

    def _close_client(self, client, reason):
        if reason:
            self.counters[reason] += 1
        self.clients.pop(client.sock, None)
        try:
            self.selector.unregister(client.sock)
        except (KeyError, ValueError):
            pass
        client.sock.close()
