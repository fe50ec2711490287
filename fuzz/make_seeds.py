#!/usr/bin/env python3
"""Writes the seed corpora under fuzz/corpus/<target>/.

The fuzz targets decode their input with FuzzedDataProvider: string bytes
come from the front of the data, lengths, numbers and choices from the end,
read backwards. The Seed class below mirrors fuzz/input.h call for call, so
each seed spells out the arguments it stands for. Run it after changing a
decoder, and commit what it writes:  python3 fuzz/make_seeds.py
"""
import os
import shutil

HERE = os.path.dirname(os.path.abspath(__file__))
INT32_MIN = -(2 ** 31)
INT32_MAX = 2 ** 31 - 1
QUOTE = b"#\xd2\xfd\xba\xc5"  # "#引号" in GBK


def width(maximum):
    """Bytes that ConsumeIntegralInRange(0, maximum) reads."""
    n = 0
    while n < 8 and (maximum >> (8 * n)) > 0:
        n += 1
    return n


class Seed:
    def __init__(self):
        self.front = bytearray()
        self.back = []  # in the order the decoder reads them

    def integral(self, value, nbytes):
        # Read back to front; the first byte read ends up most significant.
        for i in reversed(range(nbytes)):
            self.back.append((value >> (8 * i)) & 0xFF)
        return self

    def choice(self, value):
        return self.integral(value, 1)

    def flag(self, value):
        return self.choice(1 if value else 0)

    def text(self, data, maximum):
        data = data.encode("latin-1") if isinstance(data, str) else bytes(data)
        assert len(data) <= maximum
        self.integral(len(data), width(maximum))
        self.front += data
        return self

    def number(self, value):
        if -8 <= value <= 215:
            return self.choice(value + 8)
        if INT32_MIN <= value < INT32_MIN + 8:
            return self.choice(0xF0 + value - INT32_MIN)
        if INT32_MAX - 8 < value <= INT32_MAX:
            return self.choice(0xF8 + INT32_MAX - value)
        self.choice(0xE0)
        return self.integral(value - INT32_MIN, 4)

    def maybe_number(self, value):
        if value is None:
            return self.flag(True)
        self.flag(False)
        return self.number(value)

    def data(self):
        return bytes(self.front) + bytes(reversed(self.back))


def write(target, seeds):
    folder = os.path.join(HERE, "corpus", target)
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    for name, seed in seeds.items():
        with open(os.path.join(folder, name), "wb") as f:
            f.write(seed.data())


# --- text_diff: a run of operations ---------------------------------------

OPS = {"find": 0, "find_last": 1, "left_right": 2, "mid": 3, "lower": 4, "trim": 5,
       "strip": 6, "replace": 7, "split": 8, "to_int": 9, "bytes_find": 10,
       "bytes_to_text": 11, "between": 12, "header_value": 13, "cookie_name": 14}
LONG = {"find": 0, "find_last": 1, "replace": 2, "split": 3, "bytes_find": 4}


def long_op(seed, piece, size_step, patch, patch_at, cut_at, cut_len, start, fold, kind,
            count=None):
    """A text of 65236 + 3 * size_step bytes of `piece`, `patch` at 65472 +
    patch_at, searched for cut_len bytes from 65472 + cut_at."""
    seed.text(piece, 64).choice(size_step).text(patch, 64).choice(patch_at)
    seed.choice(cut_at).choice(cut_len).maybe_number(start).flag(fold).choice(LONG[kind])
    if kind == "replace":
        seed.maybe_number(count)
    return seed


def op(seed, name, t):
    seed.choice(OPS[name])
    return seed.text(t, 1024)


def needle_text(seed, what):
    return seed.choice(2).text(what, 64)


def needle_cut(seed, at, n):
    return seed.choice(0).number(at).choice(n)


def needle_token(seed, around, at):
    return seed.choice(1).text(around, 8).choice(at)


def text_seeds():
    s = {}
    gbk = b"\xb0\xa1\xb0\xa1A\xb0B"  # pairs, a second byte that is a letter
    # Finds with and without a start, folded and exact, over pairs.
    x = Seed()
    op(x, "find", b"\xb0\xa1\xa1\xb0"); needle_text(x, b"\xa1\xa1"); x.maybe_number(None).flag(False)
    op(x, "find", b"abcABC" + gbk); needle_text(x, b"bc"); x.maybe_number(3).flag(True)
    s["find-pairs"] = x
    x = Seed()
    op(x, "find_last", b"aaa:b:c"); needle_text(x, b":"); x.maybe_number(None).flag(False)
    op(x, "find_last", b"aaaa"); needle_text(x, b"aa"); x.maybe_number(4).flag(False)
    op(x, "find_last", b"AbAb\xb0"); needle_cut(x, 0, 2); x.maybe_number(INT32_MAX).flag(True)
    s["find-last"] = x
    x = Seed()
    op(x, "find", b"x\xb0"); needle_text(x, b""); x.maybe_number(2).flag(False)  # dangling lead
    op(x, "find", b"ab\xb0"); needle_text(x, b"\xb0"); x.maybe_number(INT32_MIN).flag(False)
    s["find-dangling"] = x
    x = Seed()
    op(x, "left_right", gbk); x.number(1)
    op(x, "left_right", gbk); x.number(-1)
    op(x, "mid", gbk); x.number(0).number(3)
    op(x, "mid", gbk); x.number(7).number(INT32_MAX)
    s["cut"] = x
    x = Seed()
    op(x, "lower", b"ABC\xb0Ab\xc1Z")
    op(x, "lower", b"Q\xb0")
    op(x, "to_int", b"  \xa3\xad\xa3\xb1\xa3\xb242/x")
    op(x, "to_int", b"\xa1\xa1+4294967297")
    op(x, "to_int", b"-2147483648")
    s["lower-int"] = x
    x = Seed()
    op(x, "trim", b"\xa1\xa1 a b \xa1\xa1 ")
    op(x, "trim", b" a  \xb0")
    op(x, "trim", b"\ta\r\n")
    op(x, "strip", b"a \xa1\xa1b\xa1 \xb0")
    s["spaces"] = x
    x = Seed()
    op(x, "replace", b"title=" + QUOTE + b"x" + QUOTE)
    x.choice(2).text(QUOTE, 64).text(b'"', 16).flag(False).maybe_number(None).maybe_number(None).flag(True)
    op(x, "replace", b"aAaA\xb0a")
    x.choice(2).text(b"a", 64).text(b"", 16).flag(True).maybe_number(2).maybe_number(2).flag(False)
    op(x, "replace", b"abab\xb0")
    x.choice(2).text(b"ab", 64).text(b"xyz", 16).flag(False).maybe_number(-3).maybe_number(-1).flag(True)
    op(x, "replace", b"a\xb0")
    x.choice(2).text(b"\xb0", 64).text(b"#", 16).flag(False).maybe_number(None).maybe_number(0).flag(True)
    s["replace"] = x
    x = Seed()
    op(x, "split", b"a,,b,"); x.choice(0).maybe_number(None)
    op(x, "split", b"a,b"); x.choice(1).maybe_number(None)
    op(x, "split", b"HTTP/1.1 200 OK\r\nA: 1\r\n\r\n"); x.choice(2); needle_text(x, b"\r\n"); x.maybe_number(None)
    op(x, "split", b";a;b;c"); x.choice(2); needle_text(x, b";"); x.maybe_number(2)
    op(x, "split", b"x\xb0;"); x.choice(2); needle_text(x, b";"); x.maybe_number(-1)
    s["split"] = x
    x = Seed()
    op(x, "bytes_find", b"\xb0utf-8"); needle_text(x, b"utf-8"); x.maybe_number(None)
    op(x, "bytes_find", b"\xb0\xa1\xa1"); needle_text(x, b"\xa1\xa1"); x.maybe_number(2)
    op(x, "bytes_find", b"abc"); needle_text(x, b""); x.maybe_number(None)
    op(x, "bytes_to_text", b"A\x00B"); x.flag(False)
    op(x, "bytes_to_text", b"ABCD"); x.flag(True).choice(2)
    s["bytes"] = x
    x = Seed()
    op(x, "between", b'<a title="x">')
    needle_token(x, b"title=", 6); needle_token(x, b"", 0); x.maybe_number(None).flag(False)
    op(x, "between", b"ID=7;")
    needle_text(x, b"id="); needle_text(x, b";"); x.maybe_number(0).flag(True)
    op(x, "between", b"a::b")
    needle_text(x, b":"); needle_text(x, b":"); x.maybe_number(None).flag(False)
    op(x, "between", b"HTTP/1.1 301 Moved Permanently")
    needle_text(x, b"http/1.1 "); needle_text(x, b" moved"); x.maybe_number(-5).flag(False)
    op(x, "between", QUOTE + b"\xb0")
    needle_token(x, b"\xb0", 1); needle_text(x, b""); x.maybe_number(None).flag(False)
    s["between"] = x
    x = Seed()
    op(x, "header_value", b"Set-Cookie:  x=1 ")
    op(x, "header_value", b"Host: h:81")
    op(x, "header_value", b"no colon")
    op(x, "cookie_name", b" sid = 5")
    op(x, "cookie_name", b"=v")
    op(x, "cookie_name", b"a=b=c\xa1\xa1")
    s["header-cookie"] = x
    write("text_diff", s)


def long_text_seeds():
    """Inputs of the text_long target: one search of a text past 64 KiB."""
    s = {}
    # Across the 64 KiB edge of a folded search's window.
    s["long-fold-edge"] = long_op(Seed(), b"ab\xb0Ac", 140, b"XYZZY\xa1\xa1", 60, 60, 7, None, True, "find")
    s["long-last"] = long_op(Seed(), b"a", 120, b"aaB", 64, 62, 5, None, True, "find_last")
    s["long-replace"] = long_op(Seed(), b"\xb0a", 145, b"", 0, 63, 3, 2, True, "replace", count=None)
    s["long-split"] = long_op(Seed(), b"x;\xb0;", 150, b";;", 64, 64, 1, None, False, "split")
    s["long-bytes"] = long_op(Seed(), b"\xb0\xa1", 200, b"\xa1\xb0", 63, 63, 2, 5, False, "bytes_find")
    write("text_long", s)


# --- url ------------------------------------------------------------------

HOST_ALPHABET = "abcXYZ019.-"


def host_bytes(host):
    return bytes(HOST_ALPHABET.index(c) for c in host)


def assembled(scheme, host, port=None, path=None):
    x = Seed().flag(True)
    x.choice(["", "http://", "https://", "HTTP://", "HtTpS://"].index(scheme))
    x.text(host_bytes(host), 40)
    x.flag(port is not None).number(port if port is not None else 0)
    x.flag(path is not None)
    if path is not None:
        x.text(path, 200)
    return x


def raw_url(url):
    return Seed().flag(False).text(url, 4096)


def url_seeds():
    write("url", {
        "assembled-port-path": assembled("HTTP://", "Yc.Xa.b", 81, b"X/y?Q=1"),
        "assembled-https": assembled("HtTpS://", "c.Z.a.b", 8443, b""),
        "assembled-bare": assembled("", "a.b.", None, b"x\xb0/"),
        "assembled-numeric": assembled("http://", "10.0.0.1", None, b"x"),
        "raw-query-host": raw_url(b"http://a.b?x=1"),
        "raw-later-scheme": raw_url(b"a.b/?u=http://c.d/x"),
        "raw-empty-host": raw_url(b"https://"),
        "raw-port-text": raw_url(b"https://h:x/"),
        "raw-gbk": raw_url(b"http://\xb0/\xc1:/x\xb0"),
        "raw-scheme-host": raw_url(b"http://t/x"),
    })


# --- cookies --------------------------------------------------------------

NAMES = ["a", "A", "sid", "", " a ", "x\xa1\xa1y"]
VALUES = ["1", "2", "deleted", "", "hello world", "=deleted", "\xb0\xa1", "v=w"]


def jar(x, items, tight=False, trailing=False):
    """items: (name, value or None) pairs from NAMES and VALUES."""
    x.flag(False).choice(len(items))
    for i, (name, value) in enumerate(items):
        if i:
            x.flag(not tight)
        x.choice(NAMES.index(name)).flag(value is not None)
        if value is not None:
            x.choice(VALUES.index(value))
    return x.flag(trailing)


def raw_jar(x, text):
    return x.flag(True).text(text, 512)


def cookie_seeds():
    s = {}
    x = Seed().flag(False); jar(x, [("a", "1"), ("sid", "2")]); jar(x, [("sid", "deleted"), ("A", "1")])
    s["deleted"] = x
    x = Seed().flag(False); jar(x, [("a", "1"), ("a", "2"), ("a", "1")], trailing=True); jar(x, [])
    s["duplicates"] = x
    x = Seed().flag(False); jar(x, [(" a ", "hello world"), ("", None)]); jar(x, [("x\xa1\xa1y", "\xb0\xa1"), ("a", "=deleted")], tight=True)
    s["spaces"] = x
    x = Seed().flag(False); raw_jar(x, b"a=1;;b=2; flag"); raw_jar(x, b"flag=on;x=\xb0;")
    s["raw"] = x
    x = Seed().flag(False); raw_jar(x, b"=deleted"); raw_jar(x, b"a=1\xb0")
    s["raw-dangling"] = x
    x = Seed().flag(True).text(b"a; b; a; ; c; b", 512).text(b"; ", 4)
    s["dedupe"] = x
    x = Seed().flag(True).text(b"x\xb0;y;x\xb0;", 512).text(b";", 4)
    s["dedupe-pairs"] = x
    write("cookies", s)


# --- request --------------------------------------------------------------

SCHEMES = ["http://", "https://", "HTTP://", "", "http://a.b/?u=http://"]
HOSTS = ["h", "a.example", "Srv.A.B", "t", "x\xb0\xa1"]
STATUS = ["HTTP/1.1 301 Moved Permanently", "HTTP/1.1 301 moved", "HTTP/1.1 200 OK",
          "HTTP/1.0 301 Moved", "HTTP/1.1 302 Found", "HTTP/1.1 301 Moved", "http/1.1 301 Moved"]


def address(x, scheme, host, port=None, path=None):
    x.choice(1).choice(SCHEMES.index(scheme)).choice(HOSTS.index(host))
    x.flag(port is not None)
    if port is not None:
        x.number(port)
    x.flag(path is not None)
    if path is not None:
        x.text(path, 60)


def line(x, kind, *args):
    """kind: 'location' (address args), 'fixed' (case, option), 'cookie' (value, option), 'raw'."""
    if kind == "location":
        x.choice(0)
        address(x, *args)
    elif kind == "fixed":
        case, option = args
        x.choice(case).choice(option)
    elif kind == "cookie":
        value, option = args
        x.choice(2).text(value, 40).choice(option)
    else:
        x.choice(5).text(args[0], 80)


def exchange(x, status="HTTP/1.1 200 OK", lines=(), fails=0, body=b"", utf8_at=None, pieces=(),
             fail_read_at=None, pad=None, no_headers=False, send_ms=None, read_ms=None):
    x.choice(fails)
    if no_headers:
        x.choice(0)
    else:
        x.choice(2).choice(STATUS.index(status))
        x.choice(len(lines))
        for l in lines:
            line(x, *l)
        if pad is None:
            x.choice(1)
        else:
            x.choice(0).choice(pad)
    if utf8_at is None:
        x.flag(True).text(body, 3000)
    else:
        # "utf-8" begins at 1-based byte utf8_at
        before = utf8_at - 1
        x.flag(False).choice(before // 2).choice(before % 2).text(body, 200)
    x.choice(len(pieces))
    for p in pieces:
        x.flag(True).choice(p)
    if fail_read_at is None:
        x.choice(1)
    else:
        x.choice(0).choice(fail_read_at)
    for ms in (send_ms, read_ms):  # index into the durations, or none
        x.choice(0 if ms is None else 0xC0 + DURATIONS.index(ms))


DURATIONS = [0, 1, 999, 5000, 14999, 29999, 30000, 0xFFFFFFFF]


def call(url, exchanges, given=0, method=0, cookies=b"", headers=None, location=None,
         clock=0):
    """clock: 0, or "wrap" for a start just before the tick counter wraps."""
    x = Seed()
    address(x, *url)
    x.text(b"pt", 20).text(cookies, 60).text(b"r=1", 20)
    x.flag(headers is not None)
    if headers is not None:
        x.text(headers, 120)
    x.flag(location is None)
    if location is not None:
        x.text(location, 30)
    x.text(b"p:1", 20).text(b"raw", 10).text(b"", 20)
    x.choice(method).flag(False).choice(given)
    if clock == "wrap":
        x.choice(1).choice(16)  # 0xFFFFFFFF - 4096
    else:
        x.choice(0)
    x.choice(len(exchanges) - 1)
    for e in exchanges:
        exchange(x, **e)
    return x


ALL = 0xFF


def request_seeds():
    url = ("http://", "a.example", None, b"search/word?word=x")
    moved = dict(status="HTTP/1.1 301 Moved Permanently",
                 lines=[("location", "http://", "h", 8080, None)])
    write("request", {
        "plain": call(url, [dict(status="HTTP/1.1 200 OK", body=b"hello")]),
        "moved-for-ever": call(url, [moved], given=ALL),
        "moved-then-ok": call(url, [moved, dict(moved, status="HTTP/1.1 301 moved"),
                                    dict(status="HTTP/1.1 200 OK", body=b"done")], given=ALL),
        "moved-no-location": call(url, [dict(status="HTTP/1.1 301 Moved", lines=[("fixed", 1, 1)])],
                                  given=ALL),
        "content-location": call(url, [dict(status="HTTP/1.1 301 Moved", lines=[("fixed", 1, 2)]),
                                       dict(status="HTTP/1.0 301 Moved")], given=ALL),
        "cookies": call(url, [dict(status="HTTP/1.1 200 OK",
                                   lines=[("fixed", 3, 0), ("fixed", 3, 1), ("cookie", b"c=3", 0),
                                          ("fixed", 3, 3), ("cookie", b"d = 4", 1)])],
                        given=ALL, cookies=b"sid=1; a=9; a=9"),
        "utf8-499": call(url, [dict(status="HTTP/1.1 200 OK", utf8_at=499, body=b"\xe4\xbd\xa0")],
                         given=ALL),
        "utf8-500-header": call(url, [dict(status="HTTP/1.1 200 OK", lines=[("fixed", 4, 0)],
                                           utf8_at=500, body=b"\xe4\xbd\xa0\xff")]),
        "too-big": call(url, [dict(status="HTTP/1.1 301 Moved",
                                   lines=[("location", "http://", "h", None, None)], pad=208)],
                        given=ALL),
        "no-headers": call(url, [dict(no_headers=True, body=b"x\x00y")], given=ALL),
        "fail-open": call(url, [moved, dict(fails=1)], given=ALL),
        "fail-connect": call(url, [dict(fails=2)]),
        "fail-request": call(url, [moved, dict(fails=3)], given=ALL),
        "fail-send": call(url, [dict(fails=4, status="HTTP/1.1 200 OK", body=b"lost")],
                          given=ALL, method=1),
        "pieces": call(url, [dict(status="HTTP/1.1 200 OK", body=bytes(range(1, 256)) * 9,
                                  pieces=(1, 200, 7)),
                             ], given=ALL),
        "read-fails": call(url, [dict(status="HTTP/1.1 200 OK", body=b"abcdef" * 300,
                                      pieces=(3, 5), fail_read_at=2)]),
        "agent-and-port": call(("https://", "Srv.A.B", 70000, b""),
                               [dict(status="HTTP/1.1 200 OK")],
                               given=ALL, headers=b"user-agent: me\r\nReferer: r"),
        "slow-reads": call(url, [dict(status="HTTP/1.1 200 OK", body=b"s" * 3000, pieces=(10,),
                                      read_ms=14999)], given=ALL, clock="wrap"),
        "slow-moves": call(url, [dict(moved, send_ms=5000), dict(moved, read_ms=29999),
                                 dict(status="HTTP/1.1 200 OK", body=b"late")],
                           given=ALL, clock="wrap"),
        "gbk-host": call(("", "x\xb0\xa1", None, b"\xb0"), [moved], given=ALL, location=b"keep"),
    })


if __name__ == "__main__":
    text_seeds()
    long_text_seeds()
    url_seeds()
    cookie_seeds()
    request_seeds()
