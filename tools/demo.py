#!/usr/bin/env python3
"""The plug-in's main job, without the internet: the bundled sample
encyclopedia and profile endpoint on 127.0.0.1, the real DLL under Wine
through the host simulator, the replies printed readably."""
import argparse
import os
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tests", "fixtures"))

import sample_site  # noqa: E402
from httpfixture import FixtureServer  # noqa: E402


def main():
    p = argparse.ArgumentParser()
    p.add_argument("--host-exe", required=True)
    p.add_argument("--dll", required=True)
    p.add_argument("--encyclopedia-port", type=int, default=18080)
    p.add_argument("--profile-port", type=int, default=18081)
    p.add_argument("keyword", nargs="*")
    a = p.parse_args()

    calls = []
    if a.keyword:
        for k in a.keyword:
            calls.append(("#百科 " + k, ["lookup-hex", k.encode("gbk").hex() or "-"]))
    else:
        for k in ("长城", "独角兽"):
            calls.append(("#百科 " + k, ["lookup-hex", k.encode("gbk").hex()]))
        calls.append(("获取昵称 10000", ["nickname", "10000"]))

    args = [os.path.join(ROOT, "tools", "wine-run"), a.host_exe, "--hex", a.dll]
    for _, c in calls:
        args += c
    with FixtureServer(sample_site.encyclopedia, port=a.encyclopedia_port), \
            FixtureServer(sample_site.profile, port=a.profile_port):
        print(f"sample encyclopedia on 127.0.0.1:{a.encyclopedia_port}, "
              f"profile endpoint on 127.0.0.1:{a.profile_port}\n")
        out = subprocess.run(args, stdout=subprocess.PIPE, timeout=300)
    lines = out.stdout.decode("ascii", "replace").splitlines()
    for (label, _), line in zip(calls, lines):
        reply = "(null)" if line == "null" else bytes.fromhex(line).decode("gbk", "replace")
        print(f"> {label}")
        print(reply.replace("\r\n", "\n"))
        print()
    if out.returncode != 0 or len(lines) != len(calls):
        print(f"the host simulator failed (exit {out.returncode})", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
