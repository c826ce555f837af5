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

HERE = os.path.dirname(os.path.abspath(__file__))
MEMBERS = ["Tavrenix.exe", "tavrenix.chm", "ReadMe.txt"]
# DLLs every Windows installation has; the program must need nothing else.
SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "comctl32.dll", "comdlg32.dll", "ole32.dll",
               "oleaut32.dll", "advapi32.dll", "shell32.dll", "msvcrt.dll", "version.dll"}
# Names of test seams, past and present: the shipped program carries none of them.
TEST_SEAMS = ["TAV_TEST_HOOKS", "Tavrenix.TestHook", "Tavrenix.MenuProbe", "MenuProbeHook"]
ARGS = None


class PeFile:
    """The parts of a PE image the checks need: header fields, sections, imports, fixed version."""

    def __init__(self, data):
        self.data = data
        if data[:2] != b"MZ":
            raise ValueError("no MZ header")
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[pe:pe + 4] != b"PE\0\0":
            raise ValueError("no PE signature")
        (self.machine, n_sections, self.timestamp, self.symbols_at, self.symbol_count,
         opt_size) = struct.unpack_from("<HHIIIH", data, pe + 4)
        opt = pe + 24
        magic = struct.unpack_from("<H", data, opt)[0]
        dirs = opt + (96 if magic == 0x10B else 112)
        self.import_rva = struct.unpack_from("<I", data, dirs + 8)[0]
        self.sections = []
        for i in range(n_sections):
            at = opt + opt_size + 40 * i
            name = data[at:at + 8].rstrip(b"\0").decode("latin-1")
            vsize, rva, raw_size, raw_at = struct.unpack_from("<IIII", data, at + 8)
            self.sections.append((name, rva, max(vsize, raw_size), raw_at))

    def offset(self, rva):
        for _, start, size, raw_at in self.sections:
            if start <= rva < start + size:
                return raw_at + rva - start
        raise ValueError("RVA 0x%x in no section" % rva)

    def cstring(self, rva):
        at = self.offset(rva)
        return self.data[at:self.data.index(b"\0", at)].decode("latin-1")

    def imported_dlls(self):
        dlls, at = [], self.offset(self.import_rva)
        while True:
            name_rva = struct.unpack_from("<I", self.data, at + 12)[0]
            if name_rva == 0:
                return dlls
            dlls.append(self.cstring(name_rva))
            at += 20

    def fixed_version(self):
        """(file version, product version) of VS_FIXEDFILEINFO as 4-tuples."""
        at = self.data.find(struct.pack("<I", 0xFEEF04BD))
        if at < 0:
            return None
        fms, fls, pms, pls = struct.unpack_from("<IIII", self.data, at + 8)
        split = lambda ms, ls: (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)  # noqa: E731
        return split(fms, fls), split(pms, pls)


class ReleaseArchive(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.TemporaryDirectory()
        with zipfile.ZipFile(ARGS.archive) as z:
            cls.infos = z.infolist()
            z.extractall(cls.tmp.name)
        cls.files = {}
        for name in MEMBERS:
            path = os.path.join(cls.tmp.name, name)
            if os.path.isfile(path):
                with open(path, "rb") as f:
                    cls.files[name] = f.read()

    @classmethod
    def tearDownClass(cls):
        cls.tmp.cleanup()

    def test_holds_the_three_files_and_nothing_else(self):
        # No settings file, log, test scratch or folder: exactly what the read-me lists.
        self.assertEqual(sorted(i.filename for i in self.infos), sorted(MEMBERS))
        self.assertEqual(sorted(self.files), sorted(MEMBERS))

    def test_name_says_version_and_architecture(self):
        pe = PeFile(self.files["Tavrenix.exe"])
        arch = {0x14C: "win32", 0x8664: "win64"}.get(pe.machine)
        self.assertEqual(os.path.basename(ARGS.archive), "Tavrenix-%s-%s.zip" % (ARGS.version, arch))

    def test_program_is_stripped_and_needs_only_system_dlls(self):
        pe = PeFile(self.files["Tavrenix.exe"])
        self.assertEqual((pe.symbols_at, pe.symbol_count), (0, 0), "symbol table left in")
        self.assertEqual([s[0] for s in pe.sections if s[0].startswith((".debug", "/"))], [])
        dlls = pe.imported_dlls()
        self.assertIn("kernel32.dll", [d.lower() for d in dlls])
        self.assertEqual([d for d in dlls if d.lower() not in SYSTEM_DLLS], [])

    def test_program_bytes_depend_on_nothing_but_the_sources(self):
        pe = PeFile(self.files["Tavrenix.exe"])
        self.assertEqual(pe.timestamp, 0, "link time stamp")
        exe = self.files["Tavrenix.exe"]
        for path in (ARGS.source_dir, ARGS.binary_dir):
            for form in (path, path.replace("/", "\\")):
                for encoded in (form.encode(), form.encode("utf-16-le")):
                    self.assertNotIn(encoded, exe, "build path %s in the program" % form)

    def test_version_resource_carries_the_build_version(self):
        parts = tuple(int(p) for p in ARGS.version.split(".")) + (0,) * 4
        pe = PeFile(self.files["Tavrenix.exe"])
        self.assertEqual(pe.fixed_version(), (parts[:4], parts[:4]))
        text = ".".join(str(p) for p in parts[:4]).encode("utf-16-le")
        self.assertIn(text, self.files["Tavrenix.exe"])

    def test_program_has_no_test_entry_point(self):
        exe = self.files["Tavrenix.exe"]
        for name in TEST_SEAMS:
            self.assertNotIn(name.encode(), exe)
            self.assertNotIn(name.encode("utf-16-le"), exe)
        for call in (b"GetEnvironmentVariableA", b"GetEnvironmentVariableW", b"SetWindowsHookEx"):
            self.assertNotIn(call, exe)

    def test_help_file_is_the_built_one(self):
        with open(ARGS.chm, "rb") as f:
            self.assertEqual(self.files["tavrenix.chm"], f.read())

    def test_readme_is_windows_text_about_this_release(self):
        text = self.files["ReadMe.txt"]
        self.assertEqual(text.count(b"\n"), text.count(b"\r\n"), "bare LF line ends")
        self.assertTrue(all(b < 0x80 for b in text), "not plain ASCII")
        self.assertIn(("Tavrenix %s" % ARGS.version).encode(), text)
        for name in (b"Tavrenix.exe", b"tavrenix.chm", b"Tavrenix.def", b"rs485log.txt"):
            self.assertIn(name, text)

    def test_packing_again_gives_the_same_bytes(self):
        # Same members, same SOURCE_DATE_EPOCH: a second run of the release command yields the same archive.
        with zipfile.ZipFile(ARGS.archive) as z:
            self.assertEqual(len({i.date_time for i in z.infolist()}), 1, "members stamped with different times")
        inputs = [os.path.join(self.tmp.name, name) for name in MEMBERS]
        again = [os.path.join(self.tmp.name, "again%d.zip" % n) for n in (1, 2)]
        env = dict(os.environ, SOURCE_DATE_EPOCH="1700000000")
        for out in again:
            subprocess.run([sys.executable, os.path.join(HERE, "package.py"), "--exe", inputs[0], "--chm", inputs[1],
                            "--readme", inputs[2], out], env=env, check=True)
        with open(again[0], "rb") as a, open(again[1], "rb") as b:
            self.assertEqual(a.read(), b.read())
        with zipfile.ZipFile(again[0]) as z:
            self.assertEqual([i.filename for i in z.infolist()], MEMBERS)
            self.assertEqual({i.date_time for i in z.infolist()}, {(2023, 11, 14, 22, 13, 20)})
            self.assertEqual(z.read("ReadMe.txt"), self.files["ReadMe.txt"])

def main():
    global ARGS
    p = argparse.ArgumentParser()
    p.add_argument("archive")
    p.add_argument("--version", required=True)
    p.add_argument("--chm", required=True)
    p.add_argument("--source-dir", required=True)
    p.add_argument("--binary-dir", required=True)
    ARGS, rest = p.parse_known_args()
    unittest.main(argv=[sys.argv[0]] + rest, verbosity=2)


if __name__ == "__main__":
    main()
