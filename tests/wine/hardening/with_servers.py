#!/usr/bin/env python3
"""Runs a command while echo servers listen on the plug-in's loopback ports:
the encyclopedia answers a page whose summary is the keyword asked for, the
profile endpoint a nickname of "n" followed by the number."""
import os
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "fixtures"))

from httpfixture import FixtureServer, response  # noqa: E402
from sample_site import keyword_of  # noqa: E402


def encyclopedia(req):
    word = keyword_of(req) or b""
    return response(body=b'<meta name="description" content="' + word + b'" /><meta>')


def profile(req):
    uin = req.query().rsplit(b"uins=", 1)[-1]
    return response(body=b'cb({"' + uin + b'":["u",0,"n' + uin + b'",0]})')


def main():
    enc_port = int(os.environ.get("ZHILAN_ENCYCLOPEDIA_PORT", "18080"))
    prof_port = int(os.environ.get("ZHILAN_PROFILE_PORT", "18081"))
    with FixtureServer(encyclopedia, port=enc_port), FixtureServer(profile, port=prof_port):
        return subprocess.run(sys.argv[1:], timeout=1200).returncode


if __name__ == "__main__":
    sys.exit(main())
