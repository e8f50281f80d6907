"""What the reference resolver answers: the category table, the built-in zone and the rules
by which a profile filters a name.

Filtering needs only the question's name and the profile; the answer's records follow from
the decision and the query type. Names are compared in lower case, label by label: an
entry matches the name itself and every name below it.
"""

import ipaddress

from . import wire

# Category id -> (title, test domain). The ids are shared with the reference account
# service's category groups; both sides keep their own copy on purpose.
CATEGORIES = {
    1: ("Pornography", "adult.example"),
    2: ("Dating", "dating.example"),
    10: ("Social networks", "social.example"),
    11: ("Chat", "chat.example"),
    20: ("Games", "games.example"),
    21: ("Video streaming", "video.example"),
    30: ("Malware", "malware.example"),
    31: ("Phishing", "phishing.example"),
}
CATEGORY_OF_DOMAIN = {domain: category for category, (_, domain) in CATEGORIES.items()}

EXAMPLE_ADDRESSES = (ipaddress.ip_address("192.0.2.1"), ipaddress.ip_address("2001:db8::1"))
LOOPBACK_ADDRESSES = (ipaddress.ip_address("127.0.0.1"), ipaddress.ip_address("::1"))
# Where the block page lives in this stand-in world; the service's block page redirector
# sends browsers to these hosts ("blockpage-tls..." makes it use https).
BLOCKPAGE_HOSTS = ("blockpage.corvane.test", "blockpage-tls.corvane.test")
DEFAULT_PROBE_HOST = "probe.corvane.test"

# Verdicts, as written to the query log.
UNFILTERED = "unfiltered"  # no token
UNKNOWN_TOKEN = "unknown-token"  # a token the data file does not know: unfiltered as well
ALLOWED = "allowed"
WHITE_LIST = "white-list"
ALIAS = "alias"
BLACK_LIST = "black-list"
CATEGORY = "category"
WHITE_LIST_ONLY = "white-list-only"
PROBE = "probe"


class Decision:
    __slots__ = ("verdict", "blocked", "entry", "category", "addresses")

    def __init__(self, verdict, blocked=False, entry=None, category=None, addresses=()):
        self.verdict = verdict
        self.blocked = blocked
        self.entry = entry  # the list entry or table domain that matched
        self.category = category
        self.addresses = addresses  # alias addresses


def suffix_keys(labels):
    """The name and every name above it, most specific first, as list entries are written."""
    texts = [wire.label_to_text(label.lower()) for label in labels]
    return [".".join(texts[i:]) for i in range(len(texts))]


def _first(keys, table):
    for key in keys:
        if key in table:
            return key
    return None


def decide(profile, keys):
    """How `profile` treats the name whose suffix keys are given.

    An alias is the account owner's own answer for a name and wins over everything; a
    white-listed name is never blocked; then the black list, the white-list-only mode
    and the blocked categories block.
    """
    entry = _first(keys, profile.alias)
    if entry is not None:
        return Decision(ALIAS, entry=entry, addresses=profile.alias[entry])
    entry = _first(keys, profile.white)
    if entry is not None:
        return Decision(WHITE_LIST, entry=entry)
    entry = _first(keys, profile.black)
    if entry is not None:
        return Decision(BLACK_LIST, blocked=True, entry=entry)
    if profile.white_only:
        return Decision(WHITE_LIST_ONLY, blocked=True)
    entry = _first(keys, CATEGORY_OF_DOMAIN)
    if entry is not None and CATEGORY_OF_DOMAIN[entry] in profile.categories:
        return Decision(CATEGORY, blocked=True, entry=entry, category=CATEGORY_OF_DOMAIN[entry])
    return Decision(ALLOWED)


class Zone:
    """The answers for names nobody filters: a few fixed names and the default addresses."""

    def __init__(self, default_addresses=EXAMPLE_ADDRESSES):
        self.default_addresses = tuple(default_addresses)

    def lookup(self, keys, block_addresses):
        """(rcode, addresses) for a name given by its suffix keys."""
        top = keys[-1] if keys else ""
        if top == "invalid":  # RFC 6761 6.4: never a name
            return wire.RCODE_NXDOMAIN, ()
        if top == "localhost":  # RFC 6761 6.3
            return wire.RCODE_NOERROR, LOOPBACK_ADDRESSES
        if top == "example":
            return wire.RCODE_NOERROR, EXAMPLE_ADDRESSES
        if keys and keys[0] in BLOCKPAGE_HOSTS:
            return wire.RCODE_NOERROR, block_addresses
        return wire.RCODE_NOERROR, self.default_addresses


def address_records(qtype, addresses, ttl):
    """The A, AAAA (or both, for ANY) records of `addresses` that answer `qtype`."""
    wanted = {wire.TYPE_A: (4,), wire.TYPE_AAAA: (6,), wire.TYPE_ANY: (4, 6)}.get(qtype, ())
    return [wire.Record.address(ttl, a) for a in addresses if a.version in wanted]


def probe_record(profile, token, client_address):
    """The TXT answer of the probe host: how the resolver sees the asking computer."""
    strings = [f"profile={profile.id if profile else None}", f"ip={client_address}",
               f"token={token}"]
    return wire.Record.txt(0, strings)


class Answer:
    __slots__ = ("rcode", "records", "verdict", "profile", "decision")

    def __init__(self, rcode, records, verdict, profile=None, decision=None):
        self.rcode = rcode
        self.records = records
        self.verdict = verdict
        self.profile = profile
        self.decision = decision


class Policy:
    def __init__(self, zone, probe_host=DEFAULT_PROBE_HOST, ttl=10):
        self.zone = zone
        self.probe_host = probe_host.strip().rstrip(".").lower()
        self.ttl = ttl

    def answer(self, query, snapshot, client_address):
        """The Answer for a parsed query from `client_address`, by the data of `snapshot`."""
        if query.edns is not None and query.edns.version != 0:
            return Answer(wire.RCODE_BADVERS, [], "bad-edns-version")
        if query.qclass != wire.CLASS_IN:
            return Answer(wire.RCODE_REFUSED, [], "not-class-in")
        token = query.token
        profile = snapshot.lookup(token) if token is not None else None
        keys = suffix_keys(query.labels)
        if query.qtype == wire.TYPE_TXT and keys and keys[0] == self.probe_host:
            return Answer(wire.RCODE_NOERROR, [probe_record(profile, token, client_address)],
                          PROBE, profile)
        return self.filtered(query.qtype, keys, profile, token, snapshot)

    def filtered(self, qtype, keys, profile, token, snapshot):
        if profile is None:
            verdict = UNFILTERED if token is None else UNKNOWN_TOKEN
            return self._unfiltered(qtype, keys, verdict, snapshot)
        decision = decide(profile, keys)
        if decision.blocked:
            records = address_records(qtype, snapshot.block_addresses, self.ttl)
        elif decision.verdict == ALIAS:
            records = address_records(qtype, decision.addresses, self.ttl)
        else:
            return self._unfiltered(qtype, keys, decision.verdict, snapshot, profile, decision)
        return Answer(wire.RCODE_NOERROR, records, decision.verdict, profile, decision)

    def _unfiltered(self, qtype, keys, verdict, snapshot, profile=None, decision=None):
        rcode, addresses = self.zone.lookup(keys, snapshot.block_addresses)
        return Answer(rcode, address_records(qtype, addresses, self.ttl), verdict, profile,
                      decision)
