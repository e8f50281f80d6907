"""Command line of corvane-reference-resolver."""

import argparse
import ipaddress
import json
import os
import sys
import time

from . import data as datafile
from . import demo
from . import policy as rules
from . import resolver as handling
from . import server as serving

PROGRAM = "corvane-reference-resolver"
STATUS_FILE = "status.json"


def _positive(text):
    value = float(text)
    if not value > 0:
        raise argparse.ArgumentTypeError(f"{text} is not a positive number")
    return value


def _address(text):
    try:
        return ipaddress.ip_address(text)
    except ValueError:
        raise argparse.ArgumentTypeError(f"{text!r} is not an IP address") from None


def _endpoint(text):
    try:
        return serving.parse_endpoint(text)
    except ValueError as error:
        raise argparse.ArgumentTypeError(str(error)) from None


def parse_arguments(argv):
    parser = argparse.ArgumentParser(
        prog=PROGRAM,
        description="Reference filtering resolver: answers DNS queries by the profile that "
                    "the identification token of each query stands for. It never forwards "
                    "anything to the internet.")
    parser.add_argument("--listen", type=_endpoint, default="127.0.0.1:1253", metavar="ADDR:PORT",
                        help="UDP and TCP address (default 127.0.0.1:1253; port 0 picks a free one)")
    parser.add_argument("--data", metavar="FILE",
                        help="data file of the reference account service, read again when it changes")
    parser.add_argument("--state", metavar="DIR", help=f"directory for {STATUS_FILE} (endpoints, pid, counters)")
    parser.add_argument("--log", metavar="FILE", help="query log: one JSON line per message")
    parser.add_argument("--answer", type=_address, action="append", metavar="ADDR",
                        help="address for names outside the built-in zone; may be repeated, "
                             "IPv4 for A and IPv6 for AAAA (default 192.0.2.1 and 2001:db8::1)")
    parser.add_argument("--probe-host", default=rules.DEFAULT_PROBE_HOST, metavar="NAME",
                        help=f"name whose TXT answer tells profile, client address and token "
                             f"(default {rules.DEFAULT_PROBE_HOST})")
    parser.add_argument("--ttl", type=int, default=10, metavar="SECONDS",
                        help="TTL of the answers (default 10, short so that list changes show at once)")
    parser.add_argument("--tcp-idle", type=_positive, default=300.0, metavar="SECONDS",
                        help="close a TCP connection idle this long (default 300)")
    parser.add_argument("--tcp-read-timeout", type=_positive, default=10.0, metavar="SECONDS",
                        help="close a TCP connection whose frame or unread answers wait this long (default 10)")
    parser.add_argument("--max-tcp-clients", type=int, default=256, metavar="N",
                        help="TCP connections at once; the one idle longest makes room (default 256)")
    parser.add_argument("--print-demo-names", action="store_true",
                        help="print the demo names and what each profile of the data answers for them, then exit")
    options = parser.parse_args(argv)
    if not 0 <= options.ttl <= 0x7FFFFFFF:
        parser.error("--ttl must be between 0 and 2147483647")
    if options.max_tcp_clients < 1:
        parser.error("--max-tcp-clients must be at least 1")
    return options


def _report(text):
    print(f"{PROGRAM}: {text}", file=sys.stderr, flush=True)


def _write_status(directory, status):
    path = os.path.join(directory, STATUS_FILE)
    temporary = path + ".tmp"
    with open(temporary, "w", encoding="utf-8") as stream:
        json.dump(status, stream, indent=1)
        stream.write("\n")
    os.replace(temporary, path)


def print_demo_names(options, policy):
    snapshot = datafile.Snapshot()
    if options.data:
        try:
            snapshot, _ = datafile.load(options.data)
        except datafile.DataError as error:
            _report(f"cannot use {options.data}: {error}")
            return 1
    sys.stdout.write(demo.render(policy, snapshot, options.data))
    return 0


def main(argv=None):
    options = parse_arguments(sys.argv[1:] if argv is None else argv)
    zone = rules.Zone(options.answer or rules.EXAMPLE_ADDRESSES)
    policy = rules.Policy(zone, options.probe_host, options.ttl)
    if options.print_demo_names:
        return print_demo_names(options, policy)

    family, address, port = options.listen
    try:
        udp, tcp = serving.bind_sockets(family, address, port)
    except OSError as error:
        _report(f"cannot listen on {serving.endpoint_text(address, port)}: {error.strerror or error}")
        return 1
    try:
        if options.state:
            os.makedirs(options.state, exist_ok=True)
        counters = handling.Counters()
        log = handling.QueryLog(options.log, counters, _report)
    except OSError as error:
        _report(f"cannot open {error.filename}: {error.strerror}")
        return 1

    data = datafile.DataFile(options.data, _report) if options.data else _NoData()
    data.refresh()
    limits = serving.Limits(options.tcp_idle, options.tcp_read_timeout, options.max_tcp_clients)
    bound = serving.endpoint_text(address, udp.getsockname()[1])
    status = {"pid": os.getpid(), "udp": bound, "tcp": bound, "data": options.data,
              "log": options.log, "probe_host": policy.probe_host, "started": time.time()}
    publisher = _StatusPublisher(options.state, status, counters)
    server = serving.Server(handling.Resolver(data, policy, log, counters, _report), udp, tcp, limits,
                            tick=publisher.update)
    server.install_signal_handlers()
    publisher.update(force=True)
    answers = " ".join(str(a) for a in zone.default_addresses)
    print(f"{PROGRAM}: serving DNS on udp://{bound} and tcp://{bound}; data "
          f"{options.data or 'none (every query unfiltered)'}; probe host {policy.probe_host} (TXT); "
          f"names outside the zone answer {answers}; log {options.log or 'none'}", flush=True)
    try:
        server.run()
    finally:
        server.close()
        log.close()
    publisher.update(force=True, stopped=True)
    print(f"{PROGRAM}: stopped; {counters.text()}", flush=True)
    return 0


class _StatusPublisher:
    """Keeps DIR/status.json: endpoints and pid from the start, the counters at most once a second."""

    def __init__(self, directory, status, counters, clock=time.monotonic):
        self.directory = directory
        self.status = status
        self.counters = counters
        self.clock = clock
        self._written = None
        self._last = 0.0
        self._failed = False

    def update(self, force=False, stopped=False):
        if not self.directory:
            return
        now = self.clock()
        if not force and (now - self._last < 1.0 or self._written == self.counters):
            return
        status = {**self.status, "counters": dict(self.counters)}
        if stopped:
            status["stopped"] = time.time()
        try:
            _write_status(self.directory, status)
            self._failed = False
        except OSError as error:
            if not self._failed:
                _report(f"cannot write {STATUS_FILE}: {error.strerror}")
            self._failed = True
        self._written = handling.Counters(self.counters)
        self._last = now


class _NoData:
    """Stands in for the data file when none is given: no token is known."""

    snapshot = datafile.Snapshot()

    def refresh(self):
        return False
