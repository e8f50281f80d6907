"""What the running resolver answers, by token, over UDP and TCP, with crafted queries and dig."""

import subprocess
import sys
import unittest

from support import (AGENT_TOKEN, DEMO_DATA, PROGRAM, ResolverProcess, Response, ask,
                     build_query, dig, opt_record, udp_exchange)

BLOCK = ["198.51.100.1"]
ZONE = ["192.0.2.1"]
DEFAULT, KIDS, HOMEWORK, UNKNOWN = 1101, 1102, 1103, 999


class AnswersByProfile(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.resolver = ResolverProcess()

    @classmethod
    def tearDownClass(cls):
        cls.resolver.close()

    def test_answer_rules(self):
        # name: (token, query name, type, rcode, addresses)
        cases = {
            "no token is unfiltered": (None, "blocked.example", "A", "NOERROR", ZONE),
            "unknown token is unfiltered": (UNKNOWN, "blocked.example", "A", "NOERROR", ZONE),
            "black list": (DEFAULT, "blocked.example", "A", "NOERROR", BLOCK),
            "black list below the entry": (DEFAULT, "www.blocked.example", "A", "NOERROR", BLOCK),
            "black list in other case": (DEFAULT, "WWW.Blocked.EXAMPLE", "A", "NOERROR", BLOCK),
            "black list only at a label boundary": (DEFAULT, "notblocked.example", "A", "NOERROR", ZONE),
            "blocked AAAA has no records": (DEFAULT, "blocked.example", "AAAA", "NOERROR", []),
            "blocked category": (DEFAULT, "malware.example", "A", "NOERROR", BLOCK),
            "category not chosen": (DEFAULT, "adult.example", "A", "NOERROR", ZONE),
            "white list": (DEFAULT, "allowed.example", "A", "NOERROR", ZONE),
            "alias": (DEFAULT, "printer.example", "A", "NOERROR", ["192.0.2.80"]),
            "alias below the entry": (DEFAULT, "scan.printer.example", "A", "NOERROR", ["192.0.2.80"]),
            "alias has no AAAA": (DEFAULT, "printer.example", "AAAA", "NOERROR", []),
            "allowed AAAA": (DEFAULT, "news.example", "AAAA", "NOERROR", ["2001:db8::1"]),
            "ANY gives both families": (DEFAULT, "news.example", "ANY", "NOERROR", ["192.0.2.1", "2001:db8::1"]),
            "MX of an allowed name has no records": (DEFAULT, "news.example", "MX", "NOERROR", []),
            "agent token stands for its profile": (AGENT_TOKEN, "adult.example", "A", "NOERROR", BLOCK),
            "agent's profile has no black list": (AGENT_TOKEN, "blocked.example", "A", "NOERROR", ZONE),
            "white list only allows the list": (HOMEWORK, "en.wikipedia.example", "A", "NOERROR", ZONE),
            "white list only blocks the rest": (HOMEWORK, "news.example", "A", "NOERROR", BLOCK),
            "white list only blocks outside the zone": (HOMEWORK, "www.debian.org", "A", "NOERROR", BLOCK),
            "outside the zone": (None, "www.debian.org", "A", "NOERROR", ZONE),
            "invalid is NXDOMAIN": (KIDS, "nothing.invalid", "A", "NXDOMAIN", []),
            "localhost": (None, "localhost", "A", "NOERROR", ["127.0.0.1"]),
            "block page host": (None, "blockpage.corvane.test", "A", "NOERROR", BLOCK),
        }
        for protocol in ("udp", "tcp"):
            for name, (token, qname, qtype, rcode, addresses) in cases.items():
                with self.subTest(name, protocol=protocol):
                    response = ask(self.resolver.port, qname, qtype, token, protocol)
                    self.assertEqual(response.rcode, rcode)
                    self.assertEqual(response.addresses, addresses)
                    self.assertEqual(response.question[0].lower(),
                                     build_query(qname, qtype)[12:-4].lower())

    def test_probe_tells_profile_address_and_token(self):
        cases = {
            "profile token": (DEFAULT, ["profile=101", "ip=127.0.0.1", "token=1101"]),
            "agent token": (AGENT_TOKEN, ["profile=102", "ip=127.0.0.1", f"token={AGENT_TOKEN}"]),
            "unknown token": (UNKNOWN, ["profile=None", "ip=127.0.0.1", "token=999"]),
            "no token": (None, ["profile=None", "ip=127.0.0.1", "token=None"]),
        }
        for protocol in ("udp", "tcp"):
            for name, (token, strings) in cases.items():
                with self.subTest(name, protocol=protocol):
                    # White-list-only profiles must not block the probe either.
                    response = ask(self.resolver.port, "probe.corvane.test", "TXT", token, protocol)
                    self.assertEqual(response.answers, [(16, 0, strings)])

    def test_refusals(self):
        port = self.resolver.port
        plain = build_query("news.example", qid=1)
        version_one = plain[:10] + b"\x00\x01" + plain[12:] + opt_record(version=1)
        cases = {
            "class CH": (build_query("version.bind", "TXT", qclass=3), "REFUSED", 0),
            "opcode STATUS": (build_query("news.example", flags=0x1000), "NOTIMP", 0),
            "EDNS version 1": (version_one, "NOERROR", 1),  # BADVERS: 16 = 0 + (1 << 4)
        }
        for name, (query, rcode, extended) in cases.items():
            with self.subTest(name):
                response = Response(udp_exchange(port, query))
                self.assertEqual(response.rcode, rcode)
                self.assertEqual(response.raw[:2], query[:2])
                if extended:
                    self.assertEqual(response.raw[-11:-8], b"\x00\x00\x29")
                    self.assertEqual(response.raw[-6], extended)

    def test_dig_over_udp_and_tcp(self):
        port = self.resolver.port
        cases = {
            "A": (["+short", "allowed.example"], "192.0.2.1"),
            "AAAA over TCP": (["+short", "+tcp", "allowed.example", "AAAA"], "2001:db8::1"),
            "probe over TCP": (["+short", "+tcp", "probe.corvane.test", "TXT"],
                               '"profile=None" "ip=127.0.0.1" "token=None"'),
            "probe without EDNS": (["+short", "+noedns", "probe.corvane.test", "TXT"],
                                   '"profile=None" "ip=127.0.0.1" "token=None"'),
            "NXDOMAIN": (["+noall", "+comments", "missing.invalid"], "status: NXDOMAIN"),
        }
        for name, (arguments, expected) in cases.items():
            with self.subTest(name):
                self.assertIn(expected, dig(port, *arguments))

    def test_log_line_per_query(self):
        response = ask(self.resolver.port, "www.blocked.example", "A", DEFAULT, "tcp", qid=4242)
        self.assertEqual(response.addresses, BLOCK)
        entries = [e for e in self.resolver.log_entries() if e.get("id") == 4242]
        self.assertEqual(len(entries), 1)
        entry = entries[0]
        self.assertRegex(entry.pop("time"), r"^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}Z$")
        self.assertIsInstance(entry.pop("port"), int)
        self.assertEqual(entry, {"client": "127.0.0.1", "protocol": "tcp", "id": 4242,
                                 "name": "www.blocked.example", "type": "A", "token": DEFAULT,
                                 "account": "demo@corvane.test", "profile": 101,
                                 "verdict": "black-list", "entry": "blocked.example",
                                 "rcode": "NOERROR", "answer": BLOCK})


class DemoNames(unittest.TestCase):
    def test_printed_table_is_what_the_resolver_answers(self):
        printed = subprocess.run([sys.executable, PROGRAM, "--data", DEMO_DATA,
                                  "--print-demo-names"], capture_output=True, text=True,
                                 timeout=30, check=True).stdout
        rows = [line.split("  ") for line in printed.splitlines() if line.startswith("  ")]
        header = [cell.strip() for cell in rows[0] if cell.strip()]
        self.assertEqual(header, ["name", "no token", "Default (101)", "Kids (102)", "Homework (103)"])
        table = [[cell.strip() for cell in row if cell.strip()] for row in rows[1:]]
        table = [row for row in table if len(row) == 5]
        names = [row[0] for row in table]
        for expected in ("allowed.example", "blocked.example", "printer.example",
                         "adult.example", "wikipedia.example", "missing.invalid"):
            self.assertIn(expected, names)
        resolver = ResolverProcess()
        self.addCleanup(resolver.close)
        for row in table:
            for token, cell in zip((None, DEFAULT, KIDS, HOMEWORK), row[1:]):
                with self.subTest(name=row[0], token=token):
                    response = ask(resolver.port, row[0], "A", token)
                    if cell.startswith("blocked"):
                        self.assertEqual(response.addresses, BLOCK)
                    elif cell == "NXDOMAIN":
                        self.assertEqual(response.rcode, "NXDOMAIN")
                    else:
                        self.assertEqual(response.addresses, [cell.split()[0]])


if __name__ == "__main__":
    unittest.main()
