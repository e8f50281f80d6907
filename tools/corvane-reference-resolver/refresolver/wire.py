"""DNS wire format (RFC 1035, RFC 6891): a bounded parser of queries and a writer of answers.

Every byte comes from the network, so the parser checks each length against what remains,
follows compression pointers only backwards and at most a fixed number of times, and
stops at the first inconsistency. Its work is linear in the size of the message whatever
the counts in the header claim, since every record it accepts consumes at least eleven
bytes of input.
"""

import ipaddress
import struct

TYPE_A = 1
TYPE_NS = 2
TYPE_CNAME = 5
TYPE_SOA = 6
TYPE_PTR = 12
TYPE_MX = 15
TYPE_TXT = 16
TYPE_AAAA = 28
TYPE_SRV = 33
TYPE_OPT = 41
TYPE_HTTPS = 65
TYPE_ANY = 255
# The private record in which the local proxy carries the computer's identification token.
TYPE_TOKEN = 65517

CLASS_IN = 1

OPCODE_QUERY = 0

RCODE_NOERROR = 0
RCODE_FORMERR = 1
RCODE_SERVFAIL = 2
RCODE_NXDOMAIN = 3
RCODE_NOTIMP = 4
RCODE_REFUSED = 5
RCODE_BADVERS = 16

RCODE_NAMES = {0: "NOERROR", 1: "FORMERR", 2: "SERVFAIL", 3: "NXDOMAIN", 4: "NOTIMP",
               5: "REFUSED", 16: "BADVERS"}
TYPE_NAMES = {1: "A", 2: "NS", 5: "CNAME", 6: "SOA", 12: "PTR", 15: "MX", 16: "TXT",
              28: "AAAA", 33: "SRV", 41: "OPT", 64: "SVCB", 65: "HTTPS", 255: "ANY",
              TYPE_TOKEN: "TYPE65517"}

HEADER_SIZE = 12
MAX_LABEL = 63
# Wire length of a name including its length bytes and the final zero byte (RFC 1035 3.1).
MAX_NAME = 255
# Strictly decreasing targets already end every chain; the hop limit bounds the work of a
# name to a small constant even when a message is packed with pointers.
MAX_POINTER_HOPS = 32
# A record's fixed part after its owner name: type, class, TTL, RDLENGTH.
RECORD_FIXED = 10

# What answers without EDNS may hold (RFC 1035 4.2.1), and what we offer with it: the size
# that avoids IP fragmentation on common paths (DNS flag day 2020).
UDP_PLAIN_LIMIT = 512
EDNS_UDP_SIZE = 1232


class FormatError(Exception):
    """A message that does not parse. `reason` is a short fixed key, usable as a counter name."""

    def __init__(self, reason, detail=""):
        super().__init__(f"{reason}: {detail}" if detail else reason)
        self.reason = reason


class Header:
    __slots__ = ("id", "flags", "qdcount", "ancount", "nscount", "arcount")

    def __init__(self, data):
        (self.id, self.flags, self.qdcount, self.ancount,
         self.nscount, self.arcount) = struct.unpack_from("!6H", data, 0)

    @property
    def is_response(self):
        return bool(self.flags & 0x8000)

    @property
    def opcode(self):
        return (self.flags >> 11) & 0x0F


def parse_header(data):
    """The header of a message, or None when the message is shorter than one."""
    if len(data) < HEADER_SIZE:
        return None
    return Header(data)


class Edns:
    __slots__ = ("udp_size", "version", "flags")

    def __init__(self, udp_size, version, flags):
        self.udp_size = udp_size
        self.version = version
        self.flags = flags


class Query:
    """What the resolver needs of a query: its question, its token and its EDNS options."""

    __slots__ = ("header", "labels", "qtype", "qclass", "token", "edns")

    def __init__(self, header, labels, qtype, qclass):
        self.header = header
        self.labels = labels  # tuple of bytes, as received (case kept)
        self.qtype = qtype
        self.qclass = qclass
        self.token = None  # int from the last identification record, or None
        self.edns = None

    @property
    def name(self):
        return name_to_text(self.labels)


def read_name(data, offset):
    """Reads the name at `offset`; returns (labels, offset just past the name as written).

    <domain-name> is a sequence of labels ended by a zero octet or by a pointer
    (RFC 1035 4.1.4); a pointer must point before itself and before every earlier
    pointer of the same name, never into the header.
    """
    labels = []
    wire_length = 1
    end = None
    cursor = offset
    limit = offset  # every pointer must point before this: the name's start, then the last target
    hops = 0
    size = len(data)
    while True:
        if cursor >= size:
            raise FormatError("truncated name")
        length = data[cursor]
        if length == 0:
            return tuple(labels), (cursor + 1 if end is None else end)
        kind = length & 0xC0
        if kind == 0xC0:
            if cursor + 1 >= size:
                raise FormatError("truncated name")
            target = ((length & 0x3F) << 8) | data[cursor + 1]
            if end is None:
                end = cursor + 2
            hops += 1
            if hops > MAX_POINTER_HOPS:
                raise FormatError("pointer chain", f"more than {MAX_POINTER_HOPS} pointers")
            if target < HEADER_SIZE or target >= limit:
                raise FormatError("bad pointer", f"at {cursor} to {target}")
            limit = target
            cursor = target
            continue
        if kind != 0:
            raise FormatError("bad label type", f"0x{length:02x} at {cursor}")
        if cursor + 1 + length > size:
            raise FormatError("truncated name")
        wire_length += length + 1
        if wire_length > MAX_NAME:
            raise FormatError("name too long")
        labels.append(bytes(data[cursor + 1:cursor + 1 + length]))
        cursor += 1 + length


def _read_fixed(data, offset, fmt, what):
    size = struct.calcsize(fmt)
    if offset + size > len(data):
        raise FormatError(f"truncated {what}")
    return struct.unpack_from(fmt, data, offset), offset + size


def parse_query(data, header=None):
    """Parses a query whose header has been read; raises FormatError when it is malformed.

    Exactly one question is accepted. The answer and authority sections are walked over;
    the additional section may hold one OPT record and identification records, of which
    the last one counts: the local proxy appends its record after everything the client
    sent, so a client cannot pose as another computer by adding one of its own.
    """
    if header is None:
        header = parse_header(data)
        if header is None:
            raise FormatError("short message")
    if header.qdcount != 1:
        raise FormatError("question count", str(header.qdcount))
    labels, offset = read_name(data, HEADER_SIZE)
    (qtype, qclass), offset = _read_fixed(data, offset, "!HH", "question")
    query = Query(header, labels, qtype, qclass)
    for _ in range(header.ancount + header.nscount):
        offset = _skip_record(data, offset)
    for _ in range(header.arcount):
        offset = _read_additional(data, offset, query)
    # Bytes after the last record are ignored, as most servers do.
    return query


def _skip_record(data, offset):
    _, offset = read_name(data, offset)
    (_, _, _, rdlength), offset = _read_fixed(data, offset, "!HHIH", "record")
    if offset + rdlength > len(data):
        raise FormatError("truncated record data")
    return offset + rdlength


def _read_additional(data, offset, query):
    labels, offset = read_name(data, offset)
    (rtype, rclass, ttl, rdlength), offset = _read_fixed(data, offset, "!HHIH", "record")
    if offset + rdlength > len(data):
        raise FormatError("truncated record data")
    if rtype == TYPE_TOKEN:
        # root name, class IN, RDLENGTH 4, the token as a 32-bit number in network byte order
        if labels or rclass != CLASS_IN or rdlength != 4:
            raise FormatError("bad identification record")
        token = struct.unpack_from("!I", data, offset)[0]
        query.token = token or None  # 0 means no token
    elif rtype == TYPE_OPT:
        # RFC 6891 6.1.1: at most one OPT, owned by the root; the class holds the
        # requestor's UDP payload size, the TTL the extended RCODE, version and flags.
        if labels or query.edns is not None:
            raise FormatError("bad OPT record")
        query.edns = Edns(max(rclass, UDP_PLAIN_LIMIT), (ttl >> 16) & 0xFF, ttl & 0xFFFF)
    return offset + rdlength


def name_to_text(labels):
    """Presentation form without the final dot ("." for the root), RFC 1035 5.1 escapes."""
    if not labels:
        return "."
    return ".".join(label_to_text(label) for label in labels)


def label_to_text(label):
    try:
        text = label.decode("ascii")
        if text.isprintable() and " " not in text and "." not in text and "\\" not in text \
                and '"' not in text:
            return text
    except UnicodeDecodeError:
        pass
    out = []
    for byte in label:
        if byte in b'.\\"':
            out.append("\\" + chr(byte))
        elif 0x21 <= byte <= 0x7E:
            out.append(chr(byte))
        else:
            out.append(f"\\{byte:03d}")
    return "".join(out)


def type_to_text(rtype):
    return TYPE_NAMES.get(rtype, f"TYPE{rtype}")


def encode_name(labels):
    return b"".join(bytes([len(label)]) + label for label in labels) + b"\x00"


class Record:
    """An answer record owned by the question's name, written with a pointer to it."""

    __slots__ = ("rtype", "ttl", "rdata", "text")

    def __init__(self, rtype, ttl, rdata, text):
        self.rtype = rtype
        self.ttl = ttl
        self.rdata = rdata
        self.text = text  # for the query log

    @classmethod
    def address(cls, ttl, address):
        address = ipaddress.ip_address(address)
        rtype = TYPE_A if address.version == 4 else TYPE_AAAA
        return cls(rtype, ttl, address.packed, str(address))

    @classmethod
    def txt(cls, ttl, strings):
        rdata = b""
        for text in strings:
            raw = text.encode("utf-8")[:255]
            rdata += bytes([len(raw)]) + raw
        return cls(TYPE_TXT, ttl, rdata, " ".join(strings))


# The question's name always starts right after the header of our answers.
_QUESTION_POINTER = b"\xc0\x0c"


def build_response(query, rcode, answers=(), limit=None):
    """The answer to a parsed query: its question echoed byte for byte, then `answers`.

    With `limit` (the UDP payload size the client can take) an answer that does not fit
    is sent truncated: header and question only, with TC set, so the client retries over TCP.
    """
    flags = _response_flags(query.header, rcode)
    question = encode_name(query.labels) + struct.pack("!HH", query.qtype, query.qclass)
    body = b"".join(_QUESTION_POINTER + struct.pack("!HHIH", record.rtype, CLASS_IN,
                                                      record.ttl, len(record.rdata))
                    + record.rdata for record in answers)
    opt = _opt_record(rcode) if query.edns is not None else b""
    count = len(answers)
    if limit is not None and HEADER_SIZE + len(question) + len(body) + len(opt) > limit:
        flags |= 0x0200
        body = b""
        count = 0
    header = struct.pack("!6H", query.header.id, flags, 1, count, 0, 1 if opt else 0)
    return header + question + body + opt


def build_error(header, rcode):
    """A bare answer without question, for messages whose question could not be read."""
    return struct.pack("!6H", header.id, _response_flags(header, rcode & 0x0F), 0, 0, 0, 0)


def udp_limit(query):
    if query.edns is None:
        return UDP_PLAIN_LIMIT
    return min(query.edns.udp_size, EDNS_UDP_SIZE)


def _response_flags(header, rcode):
    # QR, the query's opcode, RD and CD kept, RA set: we stand for a recursive resolver.
    kept = header.flags & (0x7800 | 0x0100 | 0x0010)
    return 0x8000 | kept | 0x0080 | (rcode & 0x0F)


def _opt_record(rcode):
    ttl = ((rcode >> 4) & 0xFF) << 24  # extended RCODE, version 0, no flags
    return b"\x00" + struct.pack("!HHIH", TYPE_OPT, EDNS_UDP_SIZE, ttl, 0)
