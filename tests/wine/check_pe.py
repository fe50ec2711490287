#!/usr/bin/env python3
"""Checks the built PE files as a bot operator's Windows will see them.

The DLL: a 32-bit (i386) image whose export directory names the module
"知澜.cqp.dll" and exports exactly info (1), 知澜 (2) and 获取昵称 (3), all
names as GBK bytes; every file: an import table naming only DLLs that ship
with Windows, so that copying the one file is enough.
"""
import argparse
import re
import subprocess
import sys
import unittest

SYSTEM_DLLS = {"kernel32.dll", "wininet.dll", "msvcrt.dll", "user32.dll",
               "advapi32.dll", "ws2_32.dll", "ntdll.dll", "psapi.dll"}


def objdump(path):
    out = subprocess.run([ARGS.objdump, "-p", path], check=True,
                         stdout=subprocess.PIPE).stdout
    return out


def gbk(s):
    return s.encode("gbk")


class PeTables(unittest.TestCase):
    def test_dll_is_i386(self):
        out = objdump(ARGS.dll)
        self.assertIn(b"file format pei-i386", out)

    def test_export_directory(self):
        out = objdump(ARGS.dll)
        m = re.search(rb"^Name \s+[0-9a-f]+ (.*)$", out, re.M)
        self.assertIsNotNone(m, "no export directory")
        self.assertEqual(m.group(1).strip(), gbk("知澜.cqp.dll"))
        table = out.split(b"[Ordinal/Name Pointer] Table", 1)[1]
        table = table.split(b"\n\n", 1)[0]
        entries = re.findall(rb"\[\s*(\d+)\] (\S+)", table)
        # objdump numbers the entries from the ordinal base of 1 minus 1.
        names = {int(i) + 1: n for i, n in entries}
        self.assertEqual(names, {1: b"info", 2: gbk("知澜"), 3: gbk("获取昵称")})

    def test_imports_only_system_dlls(self):
        for path in [ARGS.dll] + ARGS.others:
            with self.subTest(path=path):
                out = objdump(path)
                dlls = {d.decode().lower() for d in re.findall(rb"DLL Name: (\S+)", out)}
                self.assertTrue(dlls, "no import table found")
                self.assertLessEqual(dlls, SYSTEM_DLLS, f"non-system imports: {dlls - SYSTEM_DLLS}")


if __name__ == "__main__":
    p = argparse.ArgumentParser()
    p.add_argument("--objdump", required=True)
    p.add_argument("dll")
    p.add_argument("others", nargs="*")
    ARGS, rest = p.parse_known_args()
    unittest.main(argv=[sys.argv[0]] + rest, verbosity=2)
