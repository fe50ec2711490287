#!/usr/bin/env python3
"""Hostile servers: one host process, the real DLL under Wine, and a server
on 127.0.0.1 that misbehaves in a different way for each call. Every call
must come back within its time bound with the expected reply, and the
process must survive to the end."""
import os
import random
import socket
import struct
import subprocess
import sys
import threading
import time
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))

from hostsim import DLL, FOUND, HOST_EXE, WINE_RUN, gbk, not_found  # noqa: E402
from httpfixture import FixtureServer, closed_port, response  # noqa: E402

ENC_PORT = int(os.environ.get("ZHILAN_ENCYCLOPEDIA_PORT", "18080"))
PROF_PORT = int(os.environ.get("ZHILAN_PROFILE_PORT", "18081"))
BOUND_S = 45.0
PAGE = b'<html><head><meta name="description" content="ABC" /><meta name="k"></head></html>'


class Host:
    """The host simulator reading commands from its standard input."""

    def __init__(self):
        self.proc = subprocess.Popen(
            [WINE_RUN, HOST_EXE, "--hex", "--stdin", DLL],
            stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.PIPE)

    def call(self, command):
        """(reply bytes or None, seconds)"""
        t = time.monotonic()
        self.proc.stdin.write((command + "\n").encode())
        self.proc.stdin.flush()
        line = self.proc.stdout.readline()
        elapsed = time.monotonic() - t
        if not line:
            raise AssertionError(f"the host process died: {self.proc.stderr.read().decode(errors='replace')}")
        line = line.strip().decode("ascii")
        return (None if line == "null" else bytes.fromhex(line)), elapsed

    def close(self):
        self.proc.stdin.close()
        rc = self.proc.wait(timeout=60)
        return rc


def send(data):
    def answer(sock):
        try:
            sock.sendall(data)
        except OSError:
            pass
    return answer


def reset(sock):
    """Closes with RST (linger 0); as an accept hook it takes the connection."""
    sock.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
    sock.close()
    return True


def headers_of_size(total):
    """A 200 answer whose header block (status line to the empty line) has
    `total` bytes as sent, with lines of at most 1000 bytes."""
    head = b"HTTP/1.1 200 OK\r\nContent-Length: %d\r\nConnection: close\r\n" % len(PAGE)
    lines = []
    left = total - len(head) - 2
    i = 0
    while left > 0:
        prefix = b"X-Filler-%03d: " % i
        n = min(1000, left) - len(prefix) - 2
        if n < 1:
            prefix, n = b"X:", max(left - 4, 0)
        lines.append(prefix + b"v" * n + b"\r\n")
        left -= len(lines[-1])
        i += 1
    block = head + b"".join(lines) + b"\r\n"
    return block + PAGE


def big_body(sock):
    head = b"HTTP/1.1 200 OK\r\nContent-Length: %d\r\n\r\n" % (100 << 20)
    try:
        sock.sendall(head + PAGE)
        chunk = b"x" * (1 << 20)
        for _ in range(100):
            sock.sendall(chunk)
    except OSError:
        pass


def never_answer(sock):
    time.sleep(BOUND_S + 5)


def trickle_body(sock):
    try:
        sock.sendall(b"HTTP/1.1 200 OK\r\nContent-Length: 1000\r\n\r\n")
        for i in range(60):
            sock.sendall(PAGE[i % len(PAGE):i % len(PAGE) + 1])
            time.sleep(2)
    except OSError:
        pass


def close_mid_body(sock):
    try:
        sock.sendall(b"HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\n" + PAGE + b"partial")
    except OSError:
        pass
    reset(sock)


rng = random.Random(7)
GARBAGE = bytes(rng.randrange(256) for _ in range(4096))
DEAD = closed_port()

CASES = [
    # label, responder result, on_accept, expected reply (None: not found)
    ("no status line", b"just bytes\r\n\r\n<html>no status</html>", None, None),
    ("garbage bytes", GARBAGE, None, None),
    ("a status line and no headers", b"HTTP/1.1 200 OK\r\n\r\n" + PAGE, None, FOUND + b"ABC"),
    ("header block of 4,999 bytes", headers_of_size(4999), None, FOUND + b"ABC"),
    ("header block of 5,000 bytes", headers_of_size(5000), None, FOUND + b"ABC"),
    ("header block of 50,000 bytes", headers_of_size(50000), None, FOUND + b"ABC"),
    ("a header line of 3,000 bytes",
     b"HTTP/1.1 200 OK\r\nX-Long: " + b"v" * 3000 + b"\r\n\r\n" + PAGE, None, FOUND + b"ABC"),
    ("301 without Location", response(301, "Moved Permanently", body=PAGE), None, FOUND + b"ABC"),
    ("301 to a closed port",
     response(301, "Moved Permanently", headers=[f"Location: http://127.0.0.1:{DEAD}/x"]), None, None),
    ("301 to an unsupported scheme",
     response(301, "Moved Permanently", headers=[f"Location: gopher://127.0.0.1:{DEAD}/x"]), None, None),
    ("closed mid-headers", b"HTTP/1.1 200 OK\r\nContent-Ty", None, None),
    ("closed mid-body", close_mid_body, None, FOUND + b"ABC"),
    ("Content-Length larger than the body",
     b"HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\n" + PAGE, None, FOUND + b"ABC"),
    ("chunked with a bad chunk size",
     b"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nZZZ\r\n" + PAGE + b"\r\n0\r\n\r\n", None, None),
    ("NUL bytes before the description",
     b"HTTP/1.1 200 OK\r\n\r\n<html>\x00\x00" + PAGE, None, None),
    ("invalid UTF-8, body ends inside a sequence",
     b"HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=utf-8\r\n\r\n"
     b'<meta name="description" content="A\xffB\xc3C" /><meta>\xe4\xb8', None, FOUND + b"A?B?C"),
    ("GBK body ending on a lead byte", b"HTTP/1.1 200 OK\r\n\r\n" + PAGE + b"\xb0", None, FOUND + b"ABC"),
    ("a 100 MB body", big_body, None, FOUND + b"ABC"),
    ("accepts and never answers", never_answer, None, None),
    ("one byte every two seconds", trickle_body, None, None),
    ("reset right after accept", None, reset, None),
]


class HostileServers(unittest.TestCase):
    def test_matrix_in_one_process(self):
        host = Host()
        try:
            with FixtureServer(lambda req: None, port=ENC_PORT) as enc, \
                    FixtureServer(lambda req: None, port=PROF_PORT) as prof:
                for label, answer, on_accept, expected in CASES:
                    with self.subTest(label):
                        enc.set_on_accept(on_accept)
                        enc.set_responder(lambda req, a=answer: a)
                        reply, seconds = host.call("lookup-hex 6b77")  # "kw"
                        print(f"  {label}: {seconds:.1f} s", file=sys.stderr)
                        self.assertLess(seconds, BOUND_S)
                        self.assertEqual(reply, expected if expected is not None else not_found(b"kw"))
                enc.set_on_accept(None)

                with self.subTest("nickname answer of 10 MB without markers"):
                    prof.set_responder(lambda req: response(body=b"x" * (10 << 20)))
                    reply, seconds = host.call("nickname 10000")
                    self.assertLess(seconds, BOUND_S)
                    self.assertEqual(reply, b"")
                with self.subTest("nickname endpoint never answers"):
                    prof.set_responder(lambda req: never_answer)
                    reply, seconds = host.call("nickname 10000")
                    self.assertLess(seconds, BOUND_S)
                    self.assertEqual(reply, b"")

                # Still alive, and still right.
                enc.set_responder(lambda req: response(body=PAGE))
                reply, _ = host.call("lookup-hex 6b77")
                self.assertEqual(reply, FOUND + b"ABC")
        finally:
            rc = host.close()
        self.assertEqual(rc, 0)

    def test_chat_text_cannot_add_request_lines(self):
        with FixtureServer(lambda req: response(body=PAGE), port=ENC_PORT) as enc:
            host = Host()
            try:
                keyword = b"x\r\nX-Injected: 1\r\nHost: evil:81\r\n\r\nGET /other HTTP/1.1"
                reply, _ = host.call("lookup-hex " + keyword.hex())
                self.assertEqual(reply, FOUND + b"ABC")
                (req,) = enc.requests
                names = [line.split(b":", 1)[0].lower() for line in req.header_lines if line]
                self.assertEqual(sorted(names), sorted([b"host", b"user-agent", b"referer", b"accept",
                                                        b"accept-language", b"content-type"]))
                self.assertEqual(req.headers("Host"), [b"127.0.0.1:%d" % ENC_PORT])
                self.assertTrue(req.request_line.startswith(b"GET /search/word?word=x%0D%0AX-Injected"))
            finally:
                self.assertEqual(host.close(), 0)


if __name__ == "__main__":
    unittest.main()
