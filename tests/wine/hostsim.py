"""Drives the real DLL through the host simulator under Wine, for the
end-to-end tests. Paths come from the environment that ctest sets."""
import os
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "fixtures"))

WINE_RUN = os.environ.get("ZHILAN_WINE_RUN", os.path.join(HERE, "..", "..", "tools", "wine-run"))
HOST_EXE = os.environ.get("ZHILAN_HOST_EXE", "")
DLL = os.environ.get("ZHILAN_DLL", "")


def run_host(*commands, timeout=120):
    """Runs the commands in one host process; returns one reply per command:
    bytes, or None for a null pointer."""
    args = [WINE_RUN, HOST_EXE, "--hex", DLL]
    for c in commands:
        args += list(c)
    out = subprocess.run(args, stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=timeout)
    if out.returncode != 0:
        raise AssertionError(f"host simulator exit {out.returncode}: {out.stderr.decode(errors='replace')}")
    replies = []
    for line in out.stdout.decode("ascii").splitlines():
        replies.append(None if line == "null" else bytes.fromhex(line))
    return replies


def lookup(keyword_bytes):
    return ("lookup-hex", keyword_bytes.hex() or "-")


def nickname(number_bytes):
    return ("nickname-hex", number_bytes.hex() or "-")


def gbk(s):
    return s.encode("gbk")


FOUND = gbk("[name]百科结果为\r\n")


def not_found(keyword_bytes):
    return gbk('[name]没有找到此内容"') + keyword_bytes + b'"'
