#!/usr/bin/python3
"""A tiny UDP DNS server for the sandbox tests, standard library only.

usage: dnsresponder.py LISTEN_ADDRESS ANSWER_ADDRESS LOG_FILE

Answers every A question with ANSWER_ADDRESS (TTL 60) and every other type with an empty
answer; writes one line per query to LOG_FILE: "<client> <name.> <type>". Malformed
datagrams are logged and dropped; it never stops on one.
"""
import socket
import struct
import sys


def question(data):
    labels, offset = [], 12
    while True:
        length = data[offset]
        if length == 0 or length & 0xC0:
            offset += 1 if length == 0 else 2
            break
        labels.append(data[offset + 1:offset + 1 + length].decode("ascii", "replace"))
        offset += 1 + length
    qtype, qclass = struct.unpack("!HH", data[offset:offset + 4])
    return ".".join(labels) + ".", qtype, qclass, offset + 4


def main():
    listen, answer, log_path = sys.argv[1], sys.argv[2], sys.argv[3]
    server = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    server.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    server.bind((listen, 53))
    log = open(log_path, "a", buffering=1)
    log.write("LISTEN %s\n" % listen)
    while True:
        data, peer = server.recvfrom(4096)
        try:
            ident, flags = struct.unpack("!HH", data[:4])
            name, qtype, qclass, end = question(data)
            log.write("%s %s %d\n" % (peer[0], name, qtype))
            count = 1 if qtype == 1 and qclass == 1 else 0
            header = struct.pack("!HHHHHH", ident, 0x8080 | (flags & 0x0100), 1, count, 0, 0)
            records = struct.pack("!HHHIH", 0xC00C, 1, 1, 60, 4) + socket.inet_aton(answer) if count else b""
            server.sendto(header + data[12:end] + records, peer)
        except (IndexError, struct.error) as error:
            log.write("MALFORMED %r\n" % (error,))


if __name__ == "__main__":
    main()
