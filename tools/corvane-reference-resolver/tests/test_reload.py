"""The data file is read again when it changes; a broken or missing one keeps the last good data."""

import json
import os
import subprocess
import sys
import unittest

from support import PROGRAM, ResolverProcess, ask, demo_document, wait_until

DEFAULT = 1101
BLOCK, ZONE = ["198.51.100.1"], ["192.0.2.1"]


def with_black_list(*domains):
    document = demo_document()
    document["accounts"]["demo@corvane.test"]["profiles"][0]["lists"]["black"] = [
        {"id": 900 + i, "domain": domain} for i, domain in enumerate(domains)]
    return document


def with_agent(token, profile):
    document = with_black_list("news.example")
    document["accounts"]["demo@corvane.test"]["agents"]["second-agent"] = {
        "token": token, "profile": profile, "hostname": "study"}
    return document


class Reload(unittest.TestCase):
    def test_changes_are_seen_and_bad_files_keep_the_last_good_data(self):
        resolver = ResolverProcess()
        self.addCleanup(resolver.close)
        news_blocked = json.dumps(with_black_list("news.example"))

        def replace(text):
            return lambda: resolver.write_data(text)

        def rewrite_in_place(text):
            def write():
                with open(resolver.data, "r+") as stream:  # same file, new size
                    stream.truncate(0)
                    stream.write(text)
            return write

        # step: (change, "loaded" or "refused": what the resolver must report, answer for news.example)
        steps = {
            "news.example put on the black list": (replace(news_blocked), "loaded", BLOCK),
            "a file that is no JSON": (replace("{not json"), "refused", BLOCK),
            "half a file": (replace(news_blocked[:len(news_blocked) // 2]), "refused", BLOCK),
            "an unknown format": (replace(json.dumps({**json.loads(news_blocked), "format": 2})), "refused", BLOCK),
            "accounts that are no object": (replace('{"format": 1, "accounts": []}'), "refused", BLOCK),
            "nesting deeper than the parser's stack": (replace("[" * 100000 + "]" * 100000), "refused", BLOCK),
            "the list emptied, written in place": (rewrite_in_place(json.dumps(with_black_list())), "loaded", ZONE),
            "the file removed": (lambda: os.remove(resolver.data), "refused", ZONE),
            "the file back": (replace(news_blocked), "loaded", BLOCK),
        }
        for name, (change, outcome, addresses) in steps.items():
            with self.subTest(name):
                before = self.reports(resolver)
                change()
                self.assertEqual(ask(resolver.port, "news.example", token=DEFAULT).addresses, addresses)
                after = wait_until(lambda: self.reports(resolver)[outcome] > before[outcome] and
                                   self.reports(resolver))
                self.assertTrue(after, f"no '{outcome}' report after {name}")
                if outcome == "refused":
                    self.assertEqual(after["loaded"], before["loaded"])

    def test_new_tokens_and_a_late_file(self):
        resolver = ResolverProcess(data=None)  # the account service has not written it yet
        self.addCleanup(resolver.close)
        self.assertEqual(ask(resolver.port, "blocked.example", token=DEFAULT).addresses, ZONE)
        resolver.write_data(with_agent(305419897, 103))
        probe = ask(resolver.port, "probe.corvane.test", "TXT", token=305419897)
        self.assertEqual(probe.answers[0][2], ["profile=103", "ip=127.0.0.1", "token=305419897"])
        self.assertEqual(ask(resolver.port, "news.example", token=DEFAULT).addresses, BLOCK)

    def test_entries_it_cannot_use_are_skipped_with_a_warning(self):
        document = with_black_list("news.example", "   ", "Shouting.EXAMPLE.")
        profile = document["accounts"]["demo@corvane.test"]["profiles"][0]
        profile["lists"]["alias"].append({"id": 950, "domain": "noaddress.example"})
        profile["lists"]["alias"].append({"id": 951, "domain": "badaddress.example", "ip": 17})
        resolver = ResolverProcess()
        self.addCleanup(resolver.close)
        resolver.write_data(document)
        cases = {
            "a good entry beside bad ones": ("news.example", BLOCK),
            "an entry in other case with a final dot": ("shouting.example", BLOCK),
            "an alias without an address is no alias": ("noaddress.example", ZONE),
            "an alias whose address is a number is no alias": ("badaddress.example", ZONE),
            "the rest of the profile still applies": ("printer.example", ["192.0.2.80"]),
        }
        for name, (query, addresses) in cases.items():
            with self.subTest(name):
                self.assertEqual(ask(resolver.port, query, token=DEFAULT).addresses, addresses)
        self.assertEqual(resolver.read("stderr").count("skipped"), 3)

    def test_demo_names_refuse_a_broken_file(self):
        resolver = ResolverProcess()  # for its directory only
        self.addCleanup(resolver.close)
        resolver.write_data("{")
        result = subprocess.run([sys.executable, PROGRAM, "--data", resolver.data,
                                 "--print-demo-names"], capture_output=True, text=True, timeout=30)
        self.assertEqual(result.returncode, 1)
        self.assertIn("not valid JSON", result.stderr)
        self.assertEqual(result.stdout, "")

    @staticmethod
    def reports(resolver):
        text = resolver.read("stderr")
        return {"loaded": text.count("data: loaded"), "refused": text.count("data: cannot use")}


if __name__ == "__main__":
    unittest.main()
