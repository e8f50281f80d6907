"""Hostile clients: malformed messages, stalled and greedy TCP connections, signals."""

import json
import os
import random
import signal
import socket
import struct
import unittest

from support import (ResolverProcess, Response, ask, build_query, encode_name, tcp_connect,
                     tcp_receive, tcp_send, token_record, udp_exchange_then_probe,
                     wait_until)

QUESTION = encode_name("news.example") + b"\x00\x01\x00\x01"


def header(qid, flags=0x0100, qd=1, an=0, ns=0, ar=0):
    return struct.pack("!6H", qid, flags, qd, an, ns, ar)


# name: (message, expected answer: None for a drop, else the RCODE of an answer without question)
HOSTILE = {
    "empty": (b"", None),
    "shorter than a header": (b"\x12\x34\x01", None),
    "a response": (header(7, flags=0x8180) + QUESTION, None),
    "header only": (header(8), "FORMERR"),
    "pointer loop": (header(9) + b"\x01a\xc0\x0c\x00\x01\x00\x01", "FORMERR"),
    "65535 of every count": (header(10, qd=1, an=0xFFFF, ns=0xFFFF, ar=0xFFFF) + QUESTION, "FORMERR"),
    "truncated identification record": (header(11, ar=1) + QUESTION + token_record(1101)[:-2], "FORMERR"),
    "identification record of 2 bytes": (header(12, ar=1) + QUESTION + b"\x00\xff\xed\x00\x01\x00\x00\x00\x00\x00\x02\x00\x01", "FORMERR"),
    "opcode UPDATE": (header(13, flags=0x2800) + QUESTION, "NOTIMP"),
    "60000 bytes of labels": (header(14) + b"\x3f" + b"x" * 60000, "FORMERR"),
}


def status(resolver):
    with open(os.path.join(resolver.state, "status.json")) as stream:
        return json.load(stream)


def counter(resolver, name):
    return status(resolver).get("counters", {}).get(name, 0)


class HostileMessages(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.resolver = ResolverProcess()

    @classmethod
    def tearDownClass(cls):
        cls.resolver.close()

    def assert_reply(self, raw, message, expected):
        if expected is None:
            self.assertIsNone(raw)
            return
        self.assertIsNotNone(raw)
        response = Response(raw)
        self.assertEqual(response.rcode, expected)
        self.assertEqual(raw[:2], message[:2])
        self.assertEqual(response.question, None)

    def test_over_udp_each_is_dropped_or_refused_and_serving_goes_on(self):
        for name, (message, expected) in HOSTILE.items():
            with self.subTest(name):
                self.assert_reply(udp_exchange_then_probe(self.resolver.port, message),
                                  message, expected)

    def test_over_tcp_the_connection_survives_each(self):
        with tcp_connect(self.resolver.port) as sock:
            for name, (message, expected) in HOSTILE.items():
                if not message:
                    continue  # an empty frame ends the stream: see the next test
                with self.subTest(name):
                    tcp_send(sock, message)
                    follow_up = build_query("news.example", qid=0xABCD)
                    tcp_send(sock, follow_up)
                    first = tcp_receive(sock)
                    if expected is not None:
                        self.assert_reply(first, message, expected)
                        first = tcp_receive(sock)
                    self.assertEqual(first[:2], b"\xab\xcd")
                    self.assertEqual(Response(first).addresses, ["192.0.2.1"])

    def test_empty_frame_closes_the_connection(self):
        with tcp_connect(self.resolver.port) as sock:
            sock.sendall(b"\x00\x00")
            self.assertIsNone(tcp_receive(sock))

    def test_random_mutations_never_stop_it(self):
        generator = random.Random(20240501)
        seed = build_query("www.blocked.example", "AAAA", token=0x12345678, edns=True)
        answered = 0
        for _ in range(300):
            mutated = bytearray(seed)
            for _ in range(generator.randrange(1, 6)):
                mutated[generator.randrange(len(mutated))] = generator.randrange(256)
            mutated = bytes(mutated[:generator.randrange(len(mutated) + 1)])
            raw = udp_exchange_then_probe(self.resolver.port, mutated)
            if raw is not None:
                answered += 1
                self.assertEqual(raw[:2], mutated[:2])
                self.assertTrue(raw[2] & 0x80, "every answer is a response")
        self.assertGreater(answered, 100)

    def test_pipelined_queries_are_answered_in_order(self):
        names = [f"host{i}.example" for i in range(50)]
        with tcp_connect(self.resolver.port) as sock:
            sock.sendall(b"".join(struct.pack("!H", len(q)) + q for q in
                                  (build_query(n, qid=i, token=1101) for i, n in enumerate(names))))
            for i in range(len(names)):
                raw = tcp_receive(sock)
                self.assertEqual(struct.unpack("!H", raw[:2])[0], i)


class TcpLimits(unittest.TestCase):
    def test_stalled_frame_is_cut_while_others_are_served(self):
        resolver = ResolverProcess("--tcp-read-timeout", "0.5", "--tcp-idle", "4")
        self.addCleanup(resolver.close)
        with tcp_connect(resolver.port) as stalled, tcp_connect(resolver.port) as idle:
            stalled.settimeout(10)
            stalled.sendall(b"\x00\x20")  # a length and nothing more
            self.assertEqual(ask(resolver.port, "news.example", protocol="tcp").rcode, "NOERROR")
            self.assertEqual(stalled.recv(10), b"", "the stalled connection is closed")
            # The idle connection is still usable after the stalled one went.
            tcp_send(idle, build_query("news.example", qid=77))
            self.assertEqual(tcp_receive(idle)[:2], b"\x00\x4d")
            idle.settimeout(15)
            self.assertEqual(idle.recv(10), b"", "the idle connection is closed in the end")
        self.assertTrue(wait_until(lambda: counter(resolver, "tcp closed idle") == 1))
        self.assertEqual(counter(resolver, "tcp closed on incomplete frame"), 1)

    def test_client_that_reads_no_answers_is_paused_then_cut(self):
        resolver = ResolverProcess("--tcp-read-timeout", "0.5")
        self.addCleanup(resolver.close)
        query = build_query("news.example", qid=1)
        frames = (struct.pack("!H", len(query)) + query) * 20000
        sock = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        self.addCleanup(sock.close)
        sock.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, 4096)
        sock.connect(("127.0.0.1", resolver.port))
        sock.settimeout(3)
        try:
            sock.sendall(frames)
        except (socket.timeout, ConnectionError):
            pass  # the server stopped reading us, or has already cut us off
        self.assertEqual(ask(resolver.port, "news.example").rcode, "NOERROR")
        self.assertTrue(wait_until(lambda: counter(resolver, "tcp closed on unread answers") == 1))
        self.assertGreaterEqual(counter(resolver, "tcp reading paused"), 1)

    def test_answers_owed_go_out_after_the_client_closed_its_side(self):
        resolver = ResolverProcess()
        self.addCleanup(resolver.close)
        # More answers than the kernel buffers of both ends hold (the resolver fixes its
        # send buffer), fewer than make it pause reading: some wait in the resolver itself
        # when it sees the end of the stream.
        count = 4000
        sock = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        self.addCleanup(sock.close)
        sock.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, 4096)
        sock.connect(("127.0.0.1", resolver.port))
        sock.settimeout(10)
        sock.sendall(b"".join(struct.pack("!H", len(q)) + q for q in
                              (build_query("news.example", qid=i) for i in range(count))))
        sock.shutdown(socket.SHUT_WR)
        self.assertTrue(wait_until(lambda: counter(resolver, "answered tcp") == count))
        for _ in range(2):  # the second is read in a later turn of the loop than the end of stream
            ask(resolver.port, "news.example")
        ids = []
        while True:
            raw = tcp_receive(sock)
            if raw is None:
                break
            ids.append(struct.unpack("!H", raw[:2])[0])
        self.assertEqual(ids, list(range(count)))

    def test_connection_limit_closes_the_longest_idle(self):
        resolver = ResolverProcess("--max-tcp-clients", "2")
        self.addCleanup(resolver.close)
        first, second = tcp_connect(resolver.port), tcp_connect(resolver.port)
        self.addCleanup(first.close)
        self.addCleanup(second.close)
        tcp_send(second, build_query("news.example", qid=2))
        self.assertIsNotNone(tcp_receive(second))
        with tcp_connect(resolver.port) as third:
            tcp_send(third, build_query("news.example", qid=3))
            self.assertEqual(tcp_receive(third)[:2], b"\x00\x03")
        self.assertEqual(first.recv(10), b"")
        tcp_send(second, build_query("news.example", qid=4))
        self.assertEqual(tcp_receive(second)[:2], b"\x00\x04")


class Stopping(unittest.TestCase):
    def test_signals_stop_it_cleanly(self):
        for number in (signal.SIGTERM, signal.SIGINT):
            with self.subTest(signal=number.name):
                resolver = ResolverProcess()
                self.addCleanup(resolver.close)
                connection = tcp_connect(resolver.port)
                self.addCleanup(connection.close)
                ask(resolver.port, "news.example")
                self.assertEqual(resolver.stop(number), 0)
                self.assertIn("stopped; answered udp 1", resolver.read("stdout"))
                self.assertIn("stopped", status(resolver))
                self.assertEqual(resolver.read("stderr").count("Traceback"), 0)


if __name__ == "__main__":
    unittest.main()
