"""The query parser against crafted and hostile messages."""

import os
import struct
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))

from refresolver import wire  # noqa: E402
from support import build_query, encode_name, opt_record, token_record  # noqa: E402


def message(qdcount=1, ancount=0, nscount=0, arcount=0, body=b"", flags=0x0100):
    return struct.pack("!6H", 0x1234, flags, qdcount, ancount, nscount, arcount) + body


QUESTION_A = encode_name("a.example") + b"\x00\x01\x00\x01"


def record(owner, rtype=1, rclass=1, rdata=b"\x01\x02\x03\x04", rdlength=None):
    length = len(rdata) if rdlength is None else rdlength
    return owner + struct.pack("!HHIH", rtype, rclass, 0, length) + rdata


def pointer_chain(count):
    """`count` answer records, each owned by a pointer to the previous record's owner."""
    body = QUESTION_A
    previous = 12
    for _ in range(count):
        here = 12 + len(body)
        body += record(struct.pack("!H", 0xC000 | previous), rdata=b"", rdlength=0)
        previous = here
    return message(ancount=count, body=body)


class ParserRefusesHostileMessages(unittest.TestCase):
    def test_each_defect_has_its_reason(self):
        question_end = 12 + len(QUESTION_A)
        cases = {
            "no question": (message(qdcount=0), "question count"),
            "two questions": (message(qdcount=2, body=QUESTION_A * 2), "question count"),
            "header only, one question claimed": (message(), "truncated name"),
            "question name pointing at itself": (message(body=b"\xc0\x0c\x00\x01\x00\x01"), "bad pointer"),
            "pointer into the header": (message(ancount=1, body=QUESTION_A + record(b"\xc0\x05")), "bad pointer"),
            "pointer forward": (message(ancount=1, body=QUESTION_A + record(b"\xc0\x40")), "bad pointer"),
            "pointer to its own owner": (message(ancount=1, body=QUESTION_A + record(struct.pack("!H", 0xC000 | question_end))), "bad pointer"),
            "label a pointer then a loop back": (message(ancount=1, body=QUESTION_A + record(b"\x01x" + struct.pack("!H", 0xC000 | question_end))), "bad pointer"),
            "chain of 40 pointers": (pointer_chain(40), "pointer chain"),
            "label type 01": (message(body=b"\x41a\x00\x00\x01\x00\x01"), "bad label type"),
            "label type 10": (message(body=b"\x81a\x00\x00\x01\x00\x01"), "bad label type"),
            "label running past the end": (message(body=b"\x3fabc"), "truncated name"),
            "name of 256 bytes": (message(body=(b"\x3f" + b"a" * 63) * 4 + b"\x00\x00\x01\x00\x01"), "name too long"),
            "question without its class": (message(body=encode_name("a.example") + b"\x00\x01"), "truncated question"),
            "65535 answers claimed, none sent": (message(ancount=0xFFFF, body=QUESTION_A), "truncated name"),
            "65535 additional claimed, two sent": (message(arcount=0xFFFF, body=QUESTION_A + opt_record() + token_record(7)), "truncated name"),
            "record data past the end": (message(ancount=1, body=QUESTION_A + record(b"\x00", rdlength=200)), "truncated record data"),
            "identification record of 8 bytes": (message(arcount=1, body=QUESTION_A + record(b"\x00", 65517, 1, b"\x00" * 8)), "bad identification record"),
            "identification record of class CH": (message(arcount=1, body=QUESTION_A + record(b"\x00", 65517, 3, b"\x00" * 4)), "bad identification record"),
            "identification record not owned by the root": (message(arcount=1, body=QUESTION_A + record(b"\xc0\x0c", 65517, 1, b"\x00" * 4)), "bad identification record"),
            "two OPT records": (message(arcount=2, body=QUESTION_A + opt_record() + opt_record()), "bad OPT record"),
        }
        for name, (data, reason) in cases.items():
            with self.subTest(name):
                with self.assertRaises(wire.FormatError) as caught:
                    wire.parse_query(data)
                self.assertEqual(caught.exception.reason, reason)

    def test_chains_within_the_hop_limit_are_followed(self):
        query = wire.parse_query(pointer_chain(wire.MAX_POINTER_HOPS))
        self.assertEqual(query.name, "a.example")

    def test_every_cut_of_a_query_fails_cleanly(self):
        full = build_query("www.blocked.example", "AAAA", token=0x12345678, edns=True)
        self.assertEqual(wire.parse_query(full).token, 0x12345678)
        for size in range(12, len(full)):
            with self.subTest(size=size):
                with self.assertRaises(wire.FormatError):
                    wire.parse_query(full[:size])


class ParserReadsTheIdentificationRecord(unittest.TestCase):
    def test_token_and_edns(self):
        question = encode_name("Mixed.Example") + b"\x00\x10\x00\x01"
        compressed_owner = record(b"\x03www\xc0\x0c")
        cases = {
            "no record": (message(body=question), None, None),
            "token 7": (message(arcount=1, body=question + token_record(7)), 7, None),
            "token 0 means none": (message(arcount=1, body=question + token_record(0)), None, None),
            "largest token": (message(arcount=1, body=question + token_record(0xFFFFFFFF)), 0xFFFFFFFF, None),
            "the last of two records counts": (message(arcount=2, body=question + token_record(5) + token_record(9)), 9, None),
            "after OPT, as the proxy appends it": (message(arcount=2, body=question + opt_record(4096) + token_record(11)), 11, 4096),
            "OPT with a size under 512 reads as 512": (message(arcount=1, body=question + opt_record(100)), None, 512),
            "behind a compressed answer record": (message(ancount=1, arcount=1, body=question + compressed_owner + token_record(3)), 3, None),
            "trailing bytes ignored": (message(arcount=1, body=question + token_record(4) + b"junk"), 4, None),
        }
        for name, (data, token, udp_size) in cases.items():
            with self.subTest(name):
                query = wire.parse_query(data)
                self.assertEqual(query.name, "Mixed.Example")
                self.assertEqual(query.qtype, 16)
                self.assertEqual(query.token, token)
                self.assertEqual(query.edns.udp_size if query.edns else None, udp_size)


class NamesAndAnswers(unittest.TestCase):
    def test_name_text_escapes_what_is_not_a_plain_label(self):
        cases = {
            "plain": ((b"www", b"example"), "www.example"),
            "root": ((), "."),
            "dot inside a label": ((b"blocked.example",), "blocked\\.example"),
            "zero byte and blank": ((b"a\x00 b",), "a\\000\\032b"),
            "backslash": ((b"a\\b",), "a\\\\b"),
        }
        for name, (labels, text) in cases.items():
            with self.subTest(name):
                self.assertEqual(wire.name_to_text(labels), text)

    def test_answer_echoes_the_question_and_truncates_past_the_limit(self):
        query = wire.parse_query(build_query("Printer.Example", "A", qid=0xBEEF))
        records = [wire.Record.address(10, f"192.0.2.{i}") for i in range(40)]
        full = wire.build_response(query, wire.RCODE_NOERROR, records)
        cut = wire.build_response(query, wire.RCODE_NOERROR, records, limit=wire.udp_limit(query))
        question = encode_name("Printer.Example") + b"\x00\x01\x00\x01"
        for name, data, count, truncated in (("full", full, 40, False), ("cut", cut, 0, True)):
            with self.subTest(name):
                qid, flags, qd, an, _, _ = struct.unpack_from("!6H", data)
                self.assertEqual((qid, qd, an), (0xBEEF, 1, count))
                self.assertEqual(bool(flags & 0x0200), truncated)
                self.assertEqual(flags & 0x8180, 0x8180)  # QR, RD kept, RA
                self.assertEqual(data[12:12 + len(question)], question)
        self.assertEqual(len(full), 12 + len(question) + 40 * 16)


if __name__ == "__main__":
    unittest.main()
