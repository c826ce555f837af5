#!/usr/bin/env python3
"""Unpacks a release archive and checks what a Windows user would receive.

Usage: test_release.py ARCHIVE --version V --chm BUILT.chm --source-dir S --binary-dir B
"""
import argparse
import os
import struct
import subprocess
import sys
import tempfile
import unittest
import zipfile

MEMBERS = ["Tavrenix.exe", "tavrenix.chm", "ReadMe.txt"]
# DLLs of every Windows installation; the program must need nothing else.
SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "comctl32.dll", "comdlg32.dll", "ole32.dll",
               "oleaut32.dll", "advapi32.dll", "shell32.dll", "msvcrt.dll", "version.dll"}
# Test seams, past and present, and the calls they need: the shipped program carries none.
TEST_SEAMS = ["TAV_TEST_HOOKS", "Tavrenix.TestHook", "Tavrenix.MenuProbe", "MenuProbeHook"]
TEST_CALLS = [b"GetEnvironmentVariableA", b"GetEnvironmentVariableW", b"SetWindowsHookEx"]
ARGS = None


def pe_header(exe):
    """(machine, link time stamp, symbol table offset, symbol count, imported DLL names)."""
    pe = struct.unpack_from("<I", exe, 0x3C)[0]
    assert exe[:2] == b"MZ" and exe[pe:pe + 4] == b"PE\0\0", "not a PE image"
    machine, n_sections, stamp, symbols_at, n_symbols, opt_size = struct.unpack_from("<HHIIIH", exe, pe + 4)
    opt = pe + 24
    import_rva = struct.unpack_from("<I", exe, opt + (96 if exe[opt] == 0x0B and exe[opt + 1] == 1 else 112) + 8)[0]
    sections = [struct.unpack_from("<IIII", exe, opt + opt_size + 40 * i + 8) for i in range(n_sections)]

    def offset(rva):
        return next(raw + rva - start for vsize, start, size, raw in sections if start <= rva < start + max(vsize, size))

    dlls, at = [], offset(import_rva)
    while struct.unpack_from("<I", exe, at + 12)[0]:
        name_at = offset(struct.unpack_from("<I", exe, at + 12)[0])
        dlls.append(exe[name_at:exe.index(b"\0", name_at)].decode("latin-1"))
        at += 20
    return machine, stamp, symbols_at, n_symbols, dlls


class ReleaseArchive(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.TemporaryDirectory()
        with zipfile.ZipFile(ARGS.archive) as z:
            cls.infos = z.infolist()
            z.extractall(cls.tmp.name)
        cls.files = {}
        for name in os.listdir(cls.tmp.name):
            with open(os.path.join(cls.tmp.name, name), "rb") as f:
                cls.files[name] = f.read()
        cls.exe = cls.files.get("Tavrenix.exe", b"")

    @classmethod
    def tearDownClass(cls):
        cls.tmp.cleanup()

    def test_holds_the_three_files_and_nothing_else(self):
        # No settings file, log, test scratch or folder: exactly what the read-me lists.
        self.assertEqual(sorted(i.filename for i in self.infos), sorted(MEMBERS))
        self.assertEqual(self.files["tavrenix.chm"], open(ARGS.chm, "rb").read(), "not the built help file")

    def test_program_is_stripped_reproducible_and_needs_only_system_dlls(self):
        machine, stamp, symbols_at, n_symbols, dlls = pe_header(self.exe)
        arch = {0x14C: "win32", 0x8664: "win64"}.get(machine)
        self.assertEqual(os.path.basename(ARGS.archive), "Tavrenix-%s-%s.zip" % (ARGS.version, arch))
        self.assertEqual((symbols_at, n_symbols), (0, 0), "symbol table left in")
        self.assertNotIn(b".debug_", self.exe)
        self.assertEqual(stamp, 0, "link time stamp")
        self.assertIn("kernel32.dll", [d.lower() for d in dlls])
        self.assertEqual([d for d in dlls if d.lower() not in SYSTEM_DLLS], [])
        for path in (ARGS.source_dir, ARGS.binary_dir, ARGS.source_dir.replace("/", "\\")):
            self.assertNotIn(path.encode(), self.exe, "build path in the program")

    def test_version_resource_carries_the_build_version(self):
        parts = (tuple(int(p) for p in ARGS.version.split(".")) + (0, 0, 0, 0))[:4]
        at = self.exe.find(struct.pack("<I", 0xFEEF04BD))
        self.assertGreater(at, 0, "no fixed version information")
        ms, ls = (parts[0] << 16) | parts[1], (parts[2] << 16) | parts[3]
        self.assertEqual(struct.unpack_from("<IIII", self.exe, at + 8), (ms, ls, ms, ls))
        self.assertIn(".".join(map(str, parts)).encode("utf-16-le"), self.exe)

    def test_program_has_no_test_entry_point(self):
        for name in TEST_SEAMS:
            self.assertNotIn(name.encode(), self.exe)
            self.assertNotIn(name.encode("utf-16-le"), self.exe)
        for call in TEST_CALLS:
            self.assertNotIn(call, self.exe)

    def test_readme_is_windows_text_about_this_release(self):
        text = self.files["ReadMe.txt"]
        self.assertEqual(text.count(b"\n"), text.count(b"\r\n"), "bare LF line ends")
        self.assertTrue(all(b < 0x80 for b in text), "not plain ASCII")
        for name in ("Tavrenix %s" % ARGS.version, "Tavrenix.exe", "tavrenix.chm", "Tavrenix.def", "rs485log.txt"):
            self.assertIn(name.encode(), text)

    def test_packing_again_gives_the_same_bytes(self):
        self.assertEqual(len({i.date_time for i in self.infos}), 1, "members stamped with different times")
        again = [os.path.join(self.tmp.name, "again%d.zip" % n) for n in (1, 2)]
        env = dict(os.environ, SOURCE_DATE_EPOCH="1700000000")
        inputs = [os.path.join(self.tmp.name, name) for name in MEMBERS]
        for out in again:
            subprocess.run([sys.executable, os.path.join(os.path.dirname(__file__), "package.py"), "--exe", inputs[0],
                            "--chm", inputs[1], "--readme", inputs[2], out], env=env, check=True)
        self.assertEqual(open(again[0], "rb").read(), open(again[1], "rb").read())
        with zipfile.ZipFile(again[0]) as z:
            self.assertEqual([(i.filename, i.date_time) for i in z.infolist()],
                             [(name, (2023, 11, 14, 22, 13, 20)) for name in MEMBERS])
            self.assertEqual(z.read("ReadMe.txt"), self.files["ReadMe.txt"])


if __name__ == "__main__":
    p = argparse.ArgumentParser()
    p.add_argument("archive")
    for option in ("--version", "--chm", "--source-dir", "--binary-dir"):
        p.add_argument(option, required=True)
    ARGS, rest = p.parse_known_args()
    unittest.main(argv=[sys.argv[0]] + rest, verbosity=2)
