#!/usr/bin/env python3
"""10,000 lookups in one host process against a loopback server: every reply
the same, and the process's private bytes flat after warm-up. Prints the
figures."""
import os
import subprocess
import sys
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))

from hostsim import DLL, FOUND, HOST_EXE, WINE_RUN  # noqa: E402
from httpfixture import FixtureServer, response  # noqa: E402

ENC_PORT = int(os.environ.get("ZHILAN_ENCYCLOPEDIA_PORT", "18080"))
CALLS = int(os.environ.get("ZHILAN_SOAK_CALLS", "10000"))
BARE = os.environ.get("ZHILAN_BARE_EXCHANGE", "")
WARM_UP = 1000
PAGE = b'<html><head><meta name="description" content="ABC" /><meta name="k"></head>' + b"x" * 20000


def figures_of(lines):
    return [tuple(int(x) for x in l.split()[1:]) for l in lines if l.startswith("memory ")]


def growth_after_warm_up(figures):
    after_warm_up = next(p for c, p, _ in figures if c >= WARM_UP)
    return figures[-1][1] - after_warm_up


class Soak(unittest.TestCase):
    def test_private_bytes_stay_flat(self):
        # Wine's WinInet itself keeps about 100 bytes per exchange; the
        # plug-in is measured against the bare exchange in the same run.
        with FixtureServer(lambda req: response(body=PAGE), port=ENC_PORT):
            out = subprocess.run([WINE_RUN, BARE, str(ENC_PORT), str(CALLS)],
                                 stdout=subprocess.PIPE, timeout=1800)
        self.assertEqual(out.returncode, 0)
        bare = figures_of(out.stdout.decode().splitlines())
        with FixtureServer(lambda req: response(body=PAGE), port=ENC_PORT) as srv:
            out = subprocess.run([WINE_RUN, HOST_EXE, "--hex", DLL, "lookup-hex", "6b77",
                                  "soak", str(CALLS), "6b77"],
                                 stdout=subprocess.PIPE, timeout=1800)
            served = len(srv.requests)
        self.assertEqual(out.returncode, 0)
        lines = out.stdout.decode().splitlines()
        self.assertEqual(bytes.fromhex(lines[0]), FOUND + b"ABC")
        figures = figures_of(lines[1:])
        print("\n  calls   plug-in private bytes   bare exchange   mismatches", file=sys.stderr)
        for (calls, private, mismatches), (_, bare_private, _) in zip(figures, bare):
            print(f"  {calls:6d}   {private:21d}   {bare_private:13d}   {mismatches}", file=sys.stderr)
        self.assertEqual(figures[-1][0], CALLS)
        self.assertEqual(figures[-1][2], 0)
        self.assertEqual(served, CALLS + 1)
        growth, bare_growth = growth_after_warm_up(figures), growth_after_warm_up(bare)
        print(f"  growth after warm-up over {CALLS - WARM_UP} calls: plug-in {growth} bytes, "
              f"bare exchange {bare_growth} bytes, difference {growth - bare_growth}", file=sys.stderr)
        # Anything the plug-in kept per call would show here: 32 bytes a call.
        self.assertLess(growth - bare_growth, 32 * (CALLS - WARM_UP))


if __name__ == "__main__":
    unittest.main()
