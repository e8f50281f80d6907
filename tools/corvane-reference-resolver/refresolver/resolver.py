"""One received message in, the bytes to send back out: parsing, policy and the query log."""

import collections
import datetime
import json
import traceback

from . import wire


class Counters(collections.Counter):
    """Queries answered and messages dropped, by reason; printed when the resolver stops."""

    def text(self):
        return ", ".join(f"{key} {value}" for key, value in sorted(self.items())) or "no messages"


class QueryLog:
    """One JSON object per line and per message; flushed at every line so that it can be followed.

    A line that cannot be written (a full disk) is counted, never fatal: answering matters
    more than the log.
    """

    def __init__(self, path, counters, report):
        self._stream = open(path, "a", encoding="utf-8", buffering=1) if path else None
        self._counters = counters
        self._report = report

    def write(self, entry):
        if self._stream is None:
            return
        entry = {"time": _now(), **entry}
        try:
            self._stream.write(json.dumps(entry, ensure_ascii=False, separators=(",", ":")) + "\n")
        except OSError as error:
            if not self._counters["log lines lost"]:
                self._report(f"cannot write the query log: {error.strerror}; counting lost lines")
            self._counters["log lines lost"] += 1

    def close(self):
        if self._stream is not None:
            self._stream.close()
            self._stream = None


def _now():
    moment = datetime.datetime.now(datetime.timezone.utc)
    return moment.strftime("%Y-%m-%dT%H:%M:%S.") + f"{moment.microsecond // 1000:03d}Z"


# Tracebacks of unexpected faults written before only their count goes on.
MAX_FAULT_REPORTS = 5


class Resolver:
    def __init__(self, data, policy, log, counters, report):
        self.data = data  # DataFile
        self.policy = policy
        self.log = log
        self.counters = counters
        self._report = report

    def handle(self, message, client, protocol):
        """Like answer(), but a fault of ours drops the one message instead of the server."""
        try:
            return self.answer(message, client, protocol)
        except Exception:  # noqa: BLE001 - the last guard of the serving loop
            self.counters["dropped internal error"] += 1
            if self.counters["dropped internal error"] <= MAX_FAULT_REPORTS:
                self._report("internal error, message dropped:\n" + traceback.format_exc())
            return None

    def answer(self, message, client, protocol):
        """The answer to `message` from `client` ((address, port)), or None to send nothing.

        Messages too short for a header and responses are dropped: neither can be
        answered without risking a loop between two servers. A query that does not parse
        gets FORMERR, one with an opcode other than QUERY gets NOTIMP.
        """
        header = wire.parse_header(message)
        if header is None:
            return self._drop("short message", message, client, protocol)
        if header.is_response:
            return self._drop("response", message, client, protocol)
        if header.opcode != wire.OPCODE_QUERY:
            self._refuse("notimp", "opcode", message, client, protocol, header)
            return wire.build_error(header, wire.RCODE_NOTIMP)
        try:
            query = wire.parse_query(message, header)
        except wire.FormatError as error:
            self._refuse("formerr", error.reason, message, client, protocol, header)
            return wire.build_error(header, wire.RCODE_FORMERR)
        # One stat per query (a few microseconds) buys the rule that a query sent after a
        # change of the data file is answered by the new data.
        self.data.refresh()
        answer = self.policy.answer(query, self.data.snapshot, client[0])
        limit = wire.udp_limit(query) if protocol == "udp" else None
        response = wire.build_response(query, answer.rcode, answer.records, limit)
        self.counters[f"answered {protocol}"] += 1
        self.log.write(self._entry(query, answer, client, protocol))
        return response

    def _entry(self, query, answer, client, protocol):
        profile = answer.profile
        entry = {"client": client[0], "port": client[1], "protocol": protocol,
                 "id": query.header.id, "name": query.name,
                 "type": wire.type_to_text(query.qtype), "token": query.token,
                 "account": profile.account if profile else None,
                 "profile": profile.id if profile else None,
                 "verdict": answer.verdict,
                 "rcode": wire.RCODE_NAMES.get(answer.rcode, str(answer.rcode)),
                 "answer": [record.text for record in answer.records]}
        decision = answer.decision
        if decision is not None and decision.entry is not None:
            entry["entry"] = decision.entry
        if decision is not None and decision.category is not None:
            entry["category"] = decision.category
        return entry

    def _drop(self, reason, message, client, protocol):
        self.counters[f"dropped {reason}"] += 1
        self.log.write({"client": client[0], "port": client[1], "protocol": protocol,
                        "verdict": "dropped", "reason": reason, "size": len(message)})
        return None

    def _refuse(self, rcode, reason, message, client, protocol, header):
        self.counters[f"{rcode} {reason}"] += 1
        self.log.write({"client": client[0], "port": client[1], "protocol": protocol,
                        "id": header.id, "verdict": "malformed", "reason": reason,
                        "rcode": rcode.upper(), "size": len(message)})
