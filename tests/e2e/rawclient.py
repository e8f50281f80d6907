"""A desktop client of the service's IPC socket that keeps every byte it receives.

Run as any user (the end-to-end test runs it as nobody to meet the settings lock).
Arguments: socket path, a secret that must never arrive, and a JSON list of calls
[[method, [params...]], ...]. Prints one JSON object: the answers in order ({"result": ...}
or {"error": {...}}), the notification methods received, and whether the secret was in
any frame.
"""
import json
import socket
import struct
import sys
import time

path, secret, calls = sys.argv[1], sys.argv[2].encode(), json.loads(sys.argv[3])
sock = socket.socket(socket.AF_UNIX)
sock.connect(path)
sock.settimeout(0.2)
buffer = b""
raw = b""
notes = []
answers = {}


def pump(seconds):
    """Reads frames for at most that long (less once an awaited answer is in)."""
    global buffer, raw
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        try:
            chunk = sock.recv(65536)
        except socket.timeout:
            continue
        if not chunk:
            return
        raw += chunk
        buffer += chunk
        while len(buffer) >= 5:
            (length,) = struct.unpack("<i", buffer[:4])
            if len(buffer) < 4 + length:
                break
            text, buffer = buffer[5:4 + length], buffer[4 + length:]
            message = json.loads(text)
            for item in message if isinstance(message, list) else [message]:
                if "method" in item:
                    notes.append(item["method"])
                elif "id" in item:
                    answers[item["id"]] = item


def send(message, ident):
    text = json.dumps(message).encode()
    sock.sendall(struct.pack("<i", len(text) + 1) + b"\x00" + text)
    deadline = time.monotonic() + 10
    while ident not in answers and time.monotonic() < deadline:
        pump(0.2)
    return answers.get(ident, {"error": {"code": 2, "message": "no answer"}})


pump(1.0)  # the greeting
results = []
for number, (method, params) in enumerate(calls, start=1):
    answer = send({"jsonrpc": "2.0", "id": number, "method": method, "params": params}, number)
    results.append({key: answer[key] for key in ("result", "error") if key in answer})
pump(0.5)
print(json.dumps({"answers": results, "notes": notes, "secret_seen": secret in raw, "bytes": len(raw)}))
