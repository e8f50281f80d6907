"""dig through the service's own DNS proxy (corvane-proxy-runner) to the resolver.

The build registers this test with CORVANE_PROXY_RUNNER set to the runner it built; run by
hand without it, the test is skipped.
"""

import os
import socket
import subprocess
import tempfile
import unittest

from support import ResolverProcess, dig, wait_until

RUNNER = os.environ.get("CORVANE_PROXY_RUNNER")


def free_port():
    """A port free for UDP and TCP at the moment of asking."""
    for _ in range(20):
        with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as udp, \
                socket.socket(socket.AF_INET, socket.SOCK_STREAM) as tcp:
            udp.bind(("127.0.0.1", 0))
            port = udp.getsockname()[1]
            try:
                tcp.bind(("127.0.0.1", port))
            except OSError:
                continue
            return port
    raise AssertionError("no free port")


@unittest.skipUnless(RUNNER, "CORVANE_PROXY_RUNNER names no proxy runner")
class ThroughTheProxy(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.resolver = ResolverProcess()
        cls.runners = []

    @classmethod
    def tearDownClass(cls):
        for process, stream in cls.runners:
            process.terminate()
            process.wait(timeout=10)
            stream.close()
        cls.resolver.close()

    def start_runner(self, token):
        port = free_port()
        stream = tempfile.TemporaryFile(mode="w+")
        process = subprocess.Popen([RUNNER, "--listen", f"127.0.0.1:{port}",
                                    "--upstream", f"127.0.0.1:{self.resolver.port}",
                                    "--token", str(token), "--http-port", str(free_port())],
                                   stdout=stream, stderr=stream, stdin=subprocess.DEVNULL)
        self.runners.append((process, stream))
        self.assertTrue(wait_until(lambda: "192.0.2.1" in dig(port, "+short", "news.example"),
                                   timeout=30), "the proxy runner did not come up")
        return port

    def test_the_proxy_token_selects_the_profile(self):
        ports = {1101: self.start_runner(1101), 0: self.start_runner(0)}
        cases = {
            "black list over UDP": (1101, ["blocked.example"], "198.51.100.1"),
            "black list over TCP": (1101, ["+tcp", "www.blocked.example"], "198.51.100.1"),
            "white list": (1101, ["allowed.example"], "192.0.2.1"),
            "alias": (1101, ["printer.example"], "192.0.2.80"),
            "probe over UDP": (1101, ["probe.corvane.test", "TXT"], '"profile=101" "ip=127.0.0.1" "token=1101"'),
            "probe over TCP": (1101, ["+tcp", "probe.corvane.test", "TXT"], '"profile=101" "ip=127.0.0.1" "token=1101"'),
            "no token, no filter": (0, ["blocked.example"], "192.0.2.1"),
            "no token in the probe": (0, ["probe.corvane.test", "TXT"], '"profile=None" "ip=127.0.0.1" "token=None"'),
        }
        for name, (token, arguments, expected) in cases.items():
            with self.subTest(name):
                self.assertEqual(dig(ports[token], "+short", *arguments).strip(), expected)
        tcp_entries = [e for e in self.resolver.log_entries()
                       if e.get("name") == "www.blocked.example"]
        self.assertEqual([(e["protocol"], e["token"], e["verdict"]) for e in tcp_entries],
                         [("tcp", 1101, "black-list")])


if __name__ == "__main__":
    unittest.main()
