#!/usr/bin/env python3
"""Unpacks a release archive and checks what a Windows user would receive.

Usage: test_release.py ARCHIVE --version V --chm BUILT.chm --source-dir S --binary-dir B
                       --start-check WINE-RUN BUILD STARTCHECK.exe
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


def pe_layout(exe):
    """(file header fields, data directory (rva, size) by index, file offset of an rva)."""
    pe = struct.unpack_from("<I", exe, 0x3C)[0]
    assert exe[:2] == b"MZ" and exe[pe:pe + 4] == b"PE\0\0", "not a PE image"
    header = struct.unpack_from("<HHIIIH", exe, pe + 4)
    opt = pe + 24
    directories = opt + (96 if exe[opt] == 0x0B and exe[opt + 1] == 1 else 112)
    sections = [struct.unpack_from("<IIII", exe, opt + header[5] + 40 * i + 8) for i in range(header[1])]

    def offset(rva):
        return next(raw + rva - start for vsize, start, size, raw in sections if start <= rva < start + max(vsize, size))

    return header, lambda i: struct.unpack_from("<II", exe, directories + 8 * i), offset


def pe_header(exe):
    """(machine, link time stamp, symbol table offset, symbol count, imported DLL names)."""
    (machine, _, stamp, symbols_at, n_symbols, _), directory, offset = pe_layout(exe)
    dlls, at = [], offset(directory(1)[0])
    while struct.unpack_from("<I", exe, at + 12)[0]:
        name_at = offset(struct.unpack_from("<I", exe, at + 12)[0])
        dlls.append(exe[name_at:exe.index(b"\0", name_at)].decode("latin-1"))
        at += 20
    return machine, stamp, symbols_at, n_symbols, dlls


def resource(exe, type_id, name_id):
    """The bytes of resource type_id/name_id (its first language), or None."""
    _, directory, offset = pe_layout(exe)
    root = offset(directory(2)[0])
    at = root
    for wanted in (type_id, name_id, None):
        named, ids = struct.unpack_from("<HH", exe, at + 12)
        entries = [struct.unpack_from("<II", exe, at + 16 + 8 * i) for i in range(named + ids)]
        target = next((to for key, to in entries if wanted is None or key == wanted), None)
        if target is None:
            return None
        at = root + (target & 0x7FFFFFFF)
    rva, size = struct.unpack_from("<II", exe, at)
    return exe[offset(rva):offset(rva) + size]


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

    def test_manifest_runs_the_program_as_invoker(self):
        manifest = resource(self.exe, 24, 1)
        self.assertIsNotNone(manifest, "no manifest (type 24, id 1)")
        self.assertIn(b'level="asInvoker"', manifest)

    def test_unpacked_program_starts_and_shows_its_window(self):
        exe = "Z:" + os.path.join(self.tmp.name, "Tavrenix.exe").replace("/", "\\")
        run = subprocess.run(ARGS.start_check + [exe, "Olventa Software Tavrenix V1.2"], stdin=subprocess.DEVNULL,
                             stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, timeout=90)
        self.assertEqual(run.returncode, 0, run.stdout.decode("latin-1"))

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
        # Before anything else: unblock the zip, or the help's pages stay blank; then the adapters' latency.
        self.assertTrue(0 < text.find(b'"Unblock"') < text.find(b"This archive holds"), "no unblock note first")
        self.assertIn(b'"Latency Timer"', text)

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


class Publishing(unittest.TestCase):
    def test_an_architecture_replaces_only_its_own_archive(self):
        sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
        import publish
        with tempfile.TemporaryDirectory() as tmp:
            dist, new = os.path.join(tmp, "dist"), os.path.join(tmp, "Tavrenix-9.9.9-win64.zip")
            os.makedirs(dist)
            for name, data in (("Tavrenix-1.0.0-win32.zip", b"32"), ("Tavrenix-1.0.0-win64.zip", b"old"), (new, b"64")):
                with open(os.path.join(dist, name), "wb") as f:
                    f.write(data)
            publish.publish(dist, [new])
            self.assertEqual(sorted(os.listdir(dist)), ["SHA256SUMS", "Tavrenix-1.0.0-win32.zip", "Tavrenix-9.9.9-win64.zip"])
            self.assertEqual(open(os.path.join(dist, "SHA256SUMS")).read().split()[1::2],
                             ["Tavrenix-1.0.0-win32.zip", "Tavrenix-9.9.9-win64.zip"])


if __name__ == "__main__":
    p = argparse.ArgumentParser()
    p.add_argument("archive")
    for option in ("--version", "--chm", "--source-dir", "--binary-dir"):
        p.add_argument(option, required=True)
    p.add_argument("--start-check", nargs=3, required=True)
    ARGS, rest = p.parse_known_args()
    unittest.main(argv=[sys.argv[0]] + rest, verbosity=2)
