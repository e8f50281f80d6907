"""The account data that the reference account service writes and the resolver reads.

The account service owns the file and replaces it atomically after every change; the
resolver reads it again whenever its identity, size or modification time changes. A file
that cannot be read, is not JSON or lacks the structure below keeps the last good data,
so that a half-written or broken file never opens the filter.
"""

import ipaddress
import json
import os
import time

FORMAT = 1
# Far above any account set this stand-in serves; a larger file is refused unread.
MAX_FILE_SIZE = 64 * 1024 * 1024
DEFAULT_BLOCK_ADDRESS = "198.51.100.1"
# How soon a file that failed to load is tried again although it looks unchanged: a
# writer that rewrites in place can leave the size and the coarse clock of the file system
# as they were when we read a partial file.
RETRY_AFTER_FAILURE = 2.0
MAX_UINT32 = 0xFFFFFFFF


class DataError(Exception):
    pass


def normalize_domain(text):
    """A list entry as the resolver compares it: lower case, no final dot, IDNA applied.

    Returns None for an entry that can never match a name.
    """
    if not isinstance(text, str):
        return None
    text = text.strip().rstrip(".").lower()
    if text.startswith("*."):
        text = text[2:]
    if not text.isascii():
        try:
            text = text.encode("idna").decode("ascii")
        except UnicodeError:
            return None
    if not text or len(text) > 253 or any(c.isspace() for c in text):
        return None
    return text


class Profile:
    __slots__ = ("account", "id", "name", "token", "default", "white_only", "categories",
                 "white", "black", "alias")

    def __init__(self, account, id, name, token):
        self.account = account
        self.id = id
        self.name = name
        self.token = token
        self.default = False
        self.white_only = False
        self.categories = frozenset()  # blocked category ids
        self.white = frozenset()  # normalized domains
        self.black = frozenset()
        self.alias = {}  # normalized domain -> tuple of ipaddress objects


class Agent:
    __slots__ = ("account", "uid", "token", "profile", "hostname")

    def __init__(self, account, uid, token, profile, hostname):
        self.account = account
        self.uid = uid
        self.token = token
        self.profile = profile  # the Profile it stands for
        self.hostname = hostname


class Snapshot:
    """One consistent reading of the data file."""

    def __init__(self):
        self.block_addresses = (ipaddress.ip_address(DEFAULT_BLOCK_ADDRESS),)
        self.profiles = []
        self.agents = []
        self.by_token = {}  # token -> Profile
        self.warnings = []

    def lookup(self, token):
        return self.by_token.get(token)

    def summary(self):
        accounts = len({profile.account for profile in self.profiles})
        return (f"{accounts} account(s), {len(self.profiles)} profile(s), "
                f"{len(self.by_token)} token(s)")


def _address(text):
    # ipaddress also takes integers; the data file writes addresses as text only.
    try:
        return ipaddress.ip_address(text) if isinstance(text, str) else None
    except ValueError:
        return None


def _uint32(value):
    # bool is an int in Python; a JSON true is no id.
    if isinstance(value, int) and not isinstance(value, bool) and 0 <= value <= MAX_UINT32:
        return value
    return None


def _domains(entries, where, warnings):
    out = set()
    if not isinstance(entries, list):
        if entries is not None:
            warnings.append(f"{where}: not a list")
        return out
    for entry in entries:
        domain = normalize_domain(entry.get("domain")) if isinstance(entry, dict) else None
        if domain is None:
            warnings.append(f"{where}: entry without a usable domain skipped")
            continue
        out.add(domain)
    return out


def _aliases(entries, where, warnings):
    out = {}
    for entry in entries if isinstance(entries, list) else ():
        domain = normalize_domain(entry.get("domain")) if isinstance(entry, dict) else None
        address = _address(entry.get("ip")) if domain else None
        if address is None:
            warnings.append(f"{where}: alias entry without a domain and an address skipped")
            continue
        out.setdefault(domain, []).append(address)
    return {domain: tuple(addresses) for domain, addresses in out.items()}


def _profile(login, value, warnings):
    if not isinstance(value, dict):
        warnings.append(f"{login}: profile that is not an object skipped")
        return None
    profile_id, token = _uint32(value.get("id")), _uint32(value.get("token"))
    name = value.get("name")
    if not profile_id or token is None or not isinstance(name, str) or not name:
        warnings.append(f"{login}: profile without id, token or name skipped")
        return None
    profile = Profile(login, profile_id, name, token)
    profile.default = value.get("default") is True
    profile.white_only = value.get("white_list_only") is True
    where = f"{login} profile {profile_id}"
    categories = value.get("filter", [])
    if not isinstance(categories, list):
        warnings.append(f"{where}: filter is not a list")
        categories = []
    profile.categories = frozenset(c for c in map(_uint32, categories) if c)
    lists = value.get("lists", {})
    if not isinstance(lists, dict):
        warnings.append(f"{where}: lists is not an object")
        lists = {}
    profile.white = frozenset(_domains(lists.get("white", []), f"{where} white list", warnings))
    profile.black = frozenset(_domains(lists.get("black", []), f"{where} black list", warnings))
    profile.alias = _aliases(lists.get("alias", []), f"{where} alias list", warnings)
    return profile


def _block_addresses(document, warnings):
    systeminfo = document.get("systeminfo")
    address = _address(systeminfo.get("blockpage")) if isinstance(systeminfo, dict) else None
    if address is None:
        warnings.append(f"systeminfo.blockpage missing or invalid; blocking with {DEFAULT_BLOCK_ADDRESS}")
        address = ipaddress.ip_address(DEFAULT_BLOCK_ADDRESS)
    return (address,)


def _agent(login, uid, value, profiles, warnings):
    token = _uint32(value.get("token")) if isinstance(value, dict) else None
    if not token:
        warnings.append(f"{login}: agent {uid} without a token skipped")
        return None
    by_id = {profile.id: profile for profile in profiles}
    # An agent whose profile was deleted filters by the account's default profile, as the
    # account service would hand it out again.
    profile = by_id.get(_uint32(value.get("profile")))
    if profile is None:
        profile = next((p for p in profiles if p.default), profiles[0] if profiles else None)
    if profile is None:
        warnings.append(f"{login}: agent {uid} of an account without profiles skipped")
        return None
    hostname = value.get("hostname") if isinstance(value.get("hostname"), str) else ""
    return Agent(login, uid, token, profile, hostname)


def parse(document):
    """Builds a Snapshot from the decoded file; raises DataError when its structure is wrong.

    Single bad entries are skipped with a warning instead: one broken list entry must not
    freeze every account on old data.
    """
    if not isinstance(document, dict):
        raise DataError("the file is not a JSON object")
    if document.get("format") != FORMAT:
        raise DataError(f"format is {document.get('format')!r}, not {FORMAT}")
    accounts = document.get("accounts")
    if not isinstance(accounts, dict):
        raise DataError("accounts is not an object")
    snapshot = Snapshot()
    warnings = snapshot.warnings
    snapshot.block_addresses = _block_addresses(document, warnings)
    for login, account in accounts.items():
        if not isinstance(account, dict) or not isinstance(account.get("profiles", []), list):
            warnings.append(f"{login}: account without a profile list skipped")
            continue
        profiles = [p for p in (_profile(login, v, warnings) for v in account.get("profiles", [])) if p]
        snapshot.profiles.extend(profiles)
        agents = account.get("agents", {})
        for uid, value in (agents.items() if isinstance(agents, dict) else ()):
            agent = _agent(login, uid, value, profiles, warnings)
            if agent:
                snapshot.agents.append(agent)
    # The agents' tokens are the ones the proxies send; a profile's own token comes second.
    for token, profile in [(a.token, a.profile) for a in snapshot.agents] + \
            [(p.token, p) for p in snapshot.profiles if p.token]:
        known = snapshot.by_token.setdefault(token, profile)
        if known is not profile:
            warnings.append(f"token {token} stands for more than one profile; "
                            f"{known.account} profile {known.id} keeps it")
    return snapshot


def load(path):
    """Reads and parses the file; returns (Snapshot, signature) or raises DataError."""
    try:
        with open(path, "rb") as stream:
            status = os.fstat(stream.fileno())
            if status.st_size > MAX_FILE_SIZE:
                raise DataError(f"larger than {MAX_FILE_SIZE} bytes")
            raw = stream.read(MAX_FILE_SIZE + 1)
    except OSError as error:
        raise DataError(error.strerror or str(error)) from None
    if len(raw) > MAX_FILE_SIZE:
        raise DataError(f"larger than {MAX_FILE_SIZE} bytes")
    try:
        document = json.loads(raw)
    except (ValueError, RecursionError) as error:
        # ValueError covers bad JSON and bad UTF-8; RecursionError very deep nesting.
        raise DataError(f"not valid JSON ({error.__class__.__name__}: {error})"[:200]) from None
    return parse(document), signature(status)


def signature(status):
    return (status.st_dev, status.st_ino, status.st_size, status.st_mtime_ns)


class DataFile:
    """The data file with its last good reading; `refresh()` rereads it when it changed."""

    def __init__(self, path, report, clock=time.monotonic):
        self.path = path
        self.snapshot = Snapshot()
        self.loaded = False
        self._report = report  # callable(text) for load results and warnings
        self._clock = clock
        self._signature = None
        self._failure = None  # (signature, message, time) of the last failed load

    def refresh(self):
        """Returns True when new data was loaded."""
        try:
            current = signature(os.stat(self.path))
        except OSError as error:
            current, message = None, error.strerror or str(error)
            if self._failure is None or self._failure[1] != message:
                self._fail(current, message)
            return False
        if current == self._signature:
            return False
        failure = self._failure
        if failure and failure[0] == current and self._clock() - failure[2] < RETRY_AFTER_FAILURE:
            return False
        try:
            snapshot, loaded_signature = load(self.path)
        except DataError as error:
            if failure is None or failure[0] != current or failure[1] != str(error):
                self._fail(current, str(error))
            else:
                self._failure = (current, str(error), self._clock())
            return False
        self.snapshot = snapshot
        self.loaded = True
        self._signature = loaded_signature
        self._failure = None
        self._report(f"data: loaded {self.path}: {snapshot.summary()}")
        for warning in snapshot.warnings[:20]:
            self._report(f"data: warning: {warning}")
        if len(snapshot.warnings) > 20:
            self._report(f"data: {len(snapshot.warnings) - 20} more warning(s)")
        return True

    def _fail(self, current, message):
        self._failure = (current, message, self._clock())
        kept = "keeping the last good data" if self.loaded else "no data yet: every token is unknown"
        self._report(f"data: cannot use {self.path}: {message}; {kept}")
