"""The names worth trying against the demo data, with what each profile answers for them.

Computed by the same policy that answers queries, from the data file as it stands, so the
table cannot drift from what the resolver does.
"""

from . import policy as rules
from . import wire

EXTRA_NAMES = ("news.example", "missing.invalid")


def demo_names(snapshot):
    names = {domain for _, domain in rules.CATEGORIES.values()} | set(EXTRA_NAMES)
    for profile in snapshot.profiles:
        names |= profile.white | profile.black | set(profile.alias)
    return sorted(names)


def _keys(name):
    return rules.suffix_keys([label.encode("ascii") for label in name.split(".")])


def _cell(answer):
    if answer.rcode != wire.RCODE_NOERROR:
        return wire.RCODE_NAMES.get(answer.rcode, str(answer.rcode))
    addresses = " ".join(record.text for record in answer.records) or "no address"
    decision = answer.decision
    if decision is None or decision.verdict == rules.ALLOWED:
        return addresses
    if decision.verdict == rules.CATEGORY:
        return f"blocked (category {decision.category})"
    if decision.blocked:
        return f"blocked ({decision.verdict})"
    return f"{addresses} ({decision.verdict})"


def _token_lines(snapshot):
    lines = []
    for agent in snapshot.agents:
        profile = agent.profile
        host = f" on {agent.hostname}" if agent.hostname else ""
        lines.append((agent.token, f"{profile.name} ({profile.id}) of {profile.account}, "
                                   f"agent {agent.uid}{host}"))
    for profile in snapshot.profiles:
        if profile.token:
            lines.append((profile.token, f"{profile.name} ({profile.id}) of {profile.account}, "
                                         f"the profile's own token"))
    return [f"  {token:<11} {text}" for token, text in lines]


def render(policy, snapshot, data_path):
    """The text that --print-demo-names prints."""
    columns = [("no token", None)] + [(f"{p.name} ({p.id})", p) for p in snapshot.profiles]
    names = demo_names(snapshot)
    table = [["name"] + [title for title, _ in columns]]
    for name in names:
        keys = _keys(name)
        row = [name]
        for _, profile in columns:
            token = profile.token if profile else None
            answer = policy.filtered(wire.TYPE_A, keys, profile, token, snapshot)
            row.append(_cell(answer))
        table.append(row)
    widths = [max(len(row[i]) for row in table) for i in range(len(columns) + 1)]
    block = " ".join(str(a) for a in snapshot.block_addresses)
    lines = [f"A answers of the reference resolver for the demo names "
             f"(data: {data_path or 'none'}; blocked names get {block}):", ""]
    lines += ["  " + "  ".join(cell.ljust(width) for cell, width in zip(row, widths)).rstrip()
              for row in table]
    accounts = sorted({p.account for p in snapshot.profiles})
    if accounts:
        lines += ["", "Profiles belong to: " + ", ".join(accounts), "Tokens:"]
        lines += _token_lines(snapshot)
    lines += ["", f"TXT {policy.probe_host} answers \"profile=<id>\" \"ip=<client address>\" "
                  f"\"token=<token>\" (None where there is none)."]
    return "\n".join(lines) + "\n"
