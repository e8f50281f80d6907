"""Test support: a resolver process on a free port, and a small DNS client of the tests' own.

The client is written apart from the resolver's codec on purpose, so that a fault in one
is not mirrored by the other.
"""

import json
import os
import random
import shutil
import signal
import socket
import struct
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
PROGRAM = os.path.join(os.path.dirname(HERE), "corvane-reference-resolver")
DEMO_DATA = os.path.join(HERE, "demo-data.json")
AGENT_TOKEN = 305419896  # the demo agent, on profile Kids (102)

TYPES = {"A": 1, "NS": 2, "MX": 15, "TXT": 16, "AAAA": 28, "ANY": 255, "SRV": 33}
RCODES = {0: "NOERROR", 1: "FORMERR", 2: "SERVFAIL", 3: "NXDOMAIN", 4: "NOTIMP", 5: "REFUSED"}


def encode_name(name):
    out = b""
    for label in name.rstrip(".").split(".") if name not in ("", ".") else []:
        out += bytes([len(label)]) + label.encode("ascii")
    return out + b"\x00"


def token_record(token):
    """The identification record exactly as the local proxy appends it."""
    return b"\x00\xff\xed\x00\x01\x00\x00\x00\x00\x00\x04" + struct.pack("!I", token)


def opt_record(udp_size=1232, version=0):
    return b"\x00" + struct.pack("!HHIH", 41, udp_size, version << 16, 0)


def build_query(name, qtype="A", token=None, qid=None, edns=False, qclass=1, flags=0x0100):
    qid = random.randrange(0x10000) if qid is None else qid
    additional = []
    if edns:
        additional.append(opt_record())
    if token is not None:
        additional.append(token_record(token))
    header = struct.pack("!6H", qid, flags, 1, 0, 0, len(additional))
    question = encode_name(name) + struct.pack("!HH", TYPES.get(qtype, qtype), qclass)
    return header + question + b"".join(additional)


def _name_end(data, offset):
    while True:
        length = data[offset]
        if length == 0:
            return offset + 1
        if length & 0xC0 == 0xC0:
            return offset + 2
        offset += 1 + length


class Response:
    def __init__(self, data):
        self.raw = data
        (self.id, self.flags, qd, an, ns, ar) = struct.unpack_from("!6H", data, 0)
        self.rcode = RCODES.get(self.flags & 0x0F, str(self.flags & 0x0F))
        self.truncated = bool(self.flags & 0x0200)
        offset = 12
        self.question = None
        for _ in range(qd):
            end = _name_end(data, offset)
            self.question = (data[offset:end], struct.unpack_from("!HH", data, end))
            offset = end + 4
        self.answers = []  # (type, ttl, text)
        for _ in range(an):
            offset = _name_end(data, offset)
            rtype, _, ttl, length = struct.unpack_from("!HHIH", data, offset)
            rdata = data[offset + 10:offset + 10 + length]
            offset += 10 + length
            self.answers.append((rtype, ttl, _rdata_text(rtype, rdata)))
        self.additional = ar

    @property
    def addresses(self):
        return sorted(text for rtype, _, text in self.answers if rtype in (1, 28))


def _rdata_text(rtype, rdata):
    if rtype == 1:
        return socket.inet_ntop(socket.AF_INET, rdata)
    if rtype == 28:
        return socket.inet_ntop(socket.AF_INET6, rdata)
    if rtype == 16:
        strings, offset = [], 0
        while offset < len(rdata):
            length = rdata[offset]
            strings.append(rdata[offset + 1:offset + 1 + length].decode())
            offset += 1 + length
        return strings
    return rdata


def udp_exchange(port, message, timeout=3.0):
    """The raw answer to one datagram, or None when nothing comes back in time."""
    with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as sock:
        sock.settimeout(timeout)
        sock.sendto(message, ("127.0.0.1", port))
        try:
            return sock.recv(65535)
        except socket.timeout:
            return None


def udp_exchange_then_probe(port, message):
    """Sends `message`, then a valid query from another socket; returns the answer to the
    first, or None when there was none.

    The resolver reads its one UDP socket in order, so once the second query is answered
    any answer to the first is already waiting: no time-out decides.
    """
    with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as first, \
            socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as second:
        first.sendto(message, ("127.0.0.1", port))
        second.settimeout(5)
        second.sendto(build_query("news.example", qid=0x5E5E), ("127.0.0.1", port))
        answer = second.recv(65535)
        if answer[:2] != b"\x5e\x5e" or Response(answer).addresses != ["192.0.2.1"]:
            raise AssertionError("the resolver stopped answering valid queries")
        first.setblocking(False)
        try:
            return first.recv(65535)
        except BlockingIOError:
            return None


def tcp_connect(port):
    sock = socket.create_connection(("127.0.0.1", port), timeout=5)
    return sock


def tcp_send(sock, message):
    sock.sendall(struct.pack("!H", len(message)) + message)


def tcp_receive(sock):
    """One framed answer, or None when the server closed the connection."""
    header = _read_exactly(sock, 2)
    if header is None:
        return None
    return _read_exactly(sock, struct.unpack("!H", header)[0])


def _read_exactly(sock, size):
    data = b""
    while len(data) < size:
        chunk = sock.recv(size - len(data))
        if not chunk:
            return None
        data += chunk
    return data


def ask(port, name, qtype="A", token=None, protocol="udp", **kwargs):
    message = build_query(name, qtype, token, **kwargs)
    if protocol == "udp":
        raw = udp_exchange(port, message)
    else:
        with tcp_connect(port) as sock:
            tcp_send(sock, message)
            raw = tcp_receive(sock)
    if raw is None:
        raise AssertionError(f"no answer for {name} {qtype} over {protocol}")
    return Response(raw)


def dig(port, *arguments):
    """dig's short output lines; fails the test when dig is missing (package dnsutils)."""
    program = shutil.which("dig")
    if program is None:
        raise AssertionError("dig is needed for these tests (Debian package dnsutils)")
    result = subprocess.run([program, "@127.0.0.1", "-p", str(port), "+time=3", "+tries=1",
                             *arguments], capture_output=True, text=True, timeout=20)
    return result.stdout


def wait_until(predicate, timeout=10.0, interval=0.05):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        value = predicate()
        if value:
            return value
        time.sleep(interval)
    return predicate()


class ResolverProcess:
    """corvane-reference-resolver on a free loopback port with its own directory."""

    def __init__(self, *arguments, data=DEMO_DATA):
        self.directory = tempfile.mkdtemp(prefix="refresolver-")
        self.data = os.path.join(self.directory, "data.json")
        if data is not None:
            shutil.copyfile(data, self.data)
        self.log = os.path.join(self.directory, "queries.log")
        self.state = os.path.join(self.directory, "state")
        self.stdout = os.path.join(self.directory, "stdout")
        self.stderr = os.path.join(self.directory, "stderr")
        command = [sys.executable, PROGRAM, "--listen", "127.0.0.1:0", "--data", self.data,
                   "--state", self.state, "--log", self.log, *arguments]
        with open(self.stdout, "w") as out, open(self.stderr, "w") as err:
            self.process = subprocess.Popen(command, stdout=out, stderr=err,
                                            stdin=subprocess.DEVNULL)
        status = wait_until(self._status)
        if not status:
            self.stop()
            raise AssertionError(f"the resolver did not start: {self.read('stderr')}")
        self.port = int(status["udp"].rsplit(":", 1)[1])

    def _status(self):
        if self.process.poll() is not None:
            return None
        try:
            with open(os.path.join(self.state, "status.json")) as stream:
                return json.load(stream)
        except (OSError, ValueError):
            return None

    def read(self, which):
        with open(getattr(self, which)) as stream:
            return stream.read()

    def log_entries(self):
        with open(self.log) as stream:
            return [json.loads(line) for line in stream]

    def write_data(self, document):
        """Replaces the data file the way the account service does: temporary file, rename."""
        temporary = self.data + ".tmp"
        with open(temporary, "w") as stream:
            stream.write(document if isinstance(document, str) else json.dumps(document))
            stream.flush()
            os.fsync(stream.fileno())
        os.replace(temporary, self.data)

    def stop(self, sig=signal.SIGTERM):
        """Stops the process; returns its exit code."""
        if self.process.poll() is None:
            self.process.send_signal(sig)
            try:
                self.process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
        return self.process.returncode

    def close(self):
        self.stop()
        shutil.rmtree(self.directory, ignore_errors=True)


def demo_document():
    with open(DEMO_DATA) as stream:
        return json.load(stream)
