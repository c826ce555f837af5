#!/usr/bin/env python3
"""The built help file is a valid CHM holding every page of the help project.

Usage: test_chm.py BUILT.chm PROJECT.hhp
The checker is also run on damaged copies, which it must reject.
"""
import os
import shutil
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import check_chm  # noqa: E402

CHM = HHP = None


class BuiltHelpFile(unittest.TestCase):
    def test_built_file_is_valid_and_complete(self):
        self.assertEqual(check_chm.check(CHM, HHP), [])

    def test_pages_of_every_topic_are_present(self):
        with open(CHM, "rb") as f:
            entries, _ = check_chm.read_directory(f.read())
        for page in ("index.htm", "window.htm", "menu_file.htm", "menu_comm.htm", "menu_log.htm",
                     "menu_display.htm", "menu_help.htm", "formats.htm", "log_file.htm",
                     "settings_file.htm", "line_settings.htm", "troubleshooting.htm"):
            self.assertIn("/" + page, entries)

    def test_header_starts_with_itsf(self):
        with open(CHM, "rb") as f:
            self.assertEqual(f.read(4), b"ITSF")


class CheckerRejectsDamage(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.mkdtemp()
        with open(CHM, "rb") as f:
            self.data = f.read()

    def tearDown(self):
        shutil.rmtree(self.tmp)

    def write(self, name, data):
        path = os.path.join(self.tmp, name)
        with open(path, "wb") as f:
            f.write(data)
        return path

    def test_wrong_signature(self):
        path = self.write("bad.chm", b"XTSF" + self.data[4:])
        self.assertEqual(check_chm.main([path, HHP]), 1)

    def test_truncated_file(self):
        path = self.write("short.chm", self.data[:0x70])
        self.assertEqual(check_chm.main([path, HHP]), 1)

    def test_page_missing_from_the_file(self):
        src = os.path.dirname(HHP)
        for name in os.listdir(src):
            shutil.copy(os.path.join(src, name), self.tmp)
        with open(os.path.join(self.tmp, "extra.htm"), "w") as f:
            f.write("<html><body>not compiled</body></html>")
        project = os.path.join(self.tmp, os.path.basename(HHP))
        with open(project, "a") as f:
            f.write("extra.htm\n")
        problems = check_chm.check(CHM, project)
        self.assertIn("extra.htm is missing", problems)

    def test_page_changed_after_compiling(self):
        src = os.path.dirname(HHP)
        for name in os.listdir(src):
            shutil.copy(os.path.join(src, name), self.tmp)
        with open(os.path.join(self.tmp, "formats.htm"), "a") as f:
            f.write("<!-- edited -->")
        problems = check_chm.check(CHM, os.path.join(self.tmp, os.path.basename(HHP)))
        self.assertEqual(len(problems), 1)
        self.assertTrue(problems[0].startswith("formats.htm has"))


if __name__ == "__main__":
    if len(sys.argv) < 3:
        print(__doc__)
        sys.exit(2)
    CHM, HHP = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    unittest.main(argv=[sys.argv[0], "-v"] + sys.argv[3:])
