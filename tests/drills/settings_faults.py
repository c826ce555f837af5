#!/usr/bin/env python3
"""Exit where the settings file cannot be written: the program's folder on a full disk, or a
folder whose entries cannot be changed. A message box must say the settings were not saved and
why, the previous file must stay byte for byte with nothing left beside it, and the program must
still close.

Usage: settings_faults.py BUILD full|readonly
  full      the folder is a small tmpfs filled up (needs mount; skipped where it is refused)
  readonly  the folder and the file are immutable (chattr +i, which binds root too)
"""
import os
import subprocess
import sys

import drillkit
from drillkit import check, drive, say

FORMAT_MNEMONIC, FILE_EXIT = 40017, 40001


def run(cmd):
    return subprocess.run(cmd, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                          stderr=subprocess.DEVNULL).returncode == 0


def fill(folder):
    """Writes a file until the disk refuses more."""
    fd = os.open(os.path.join(folder, "filler"), os.O_WRONLY | os.O_CREAT)
    try:
        while os.write(fd, b"x" * 4096):
            pass
    except OSError:
        pass
    finally:
        os.close(fd)


def exit_refused(bench, folder, make_unwritable):
    """Starts the program in folder, takes the folder's writing away, chooses Exit and checks."""
    d = drive.Drive(drillkit.ROOT, bench.build)
    definition = os.path.join(folder, "Tavrenix.def")
    try:
        d.call("settings", drive.winpath(folder), "COM5", 100, "", 0)
        with open(definition, "rb") as f:
            before = f.read()
        d.call("start", drive.winpath(folder))
        d.call("command", FORMAT_MNEMONIC)  # a change that a save would keep
        make_unwritable()
        d.call("post", FILE_EXIT)  # opens a message box: posted, not sent
        ok, box = d.ask("box", 10000)
        check(ok, "no message box: the settings were lost without a word")
        text = bytes.fromhex(box).decode("latin-1")
        head = "The settings were not saved:\n  (%s)\n" % drive.winpath(definition)
        check(text.startswith(head), "the message says %r" % text)
        why = text[len(head):]
        say("the reason given: %r" % why)
        check(why and "Unknown error" not in why, "no reason in the system's words: %r" % why)
        d.call("boxok")
        code = d.call("wait", 10000)
        check(code == "0", "the program ended with %s" % code)
    finally:
        d.close()
    with open(definition, "rb") as f:
        check(f.read() == before, "the previous settings file was changed")
    left = [n for n in os.listdir(folder) if n.startswith("Tavrenix.def") and n.endswith(".new")]
    check(not left, "a piece of the failed save was left beside the file: %s" % left)


def case_full(bench):
    folder = bench.scratch("setfull")
    exe = os.path.join(bench.build, "Tavrenix.exe")
    size = os.path.getsize(exe) + 256 * 1024
    if not run(["mount", "-t", "tmpfs", "-o", "size=%d" % size, "tmpfs", folder]):
        say("SKIPPED: this machine gives no way to mount a small file system")
        return drillkit.SKIPPED
    try:
        exit_refused(bench, folder, lambda: fill(folder))
    finally:
        run(["umount", folder])
    return 0


def case_readonly(bench):
    folder = bench.scratch("setro")
    definition = os.path.join(folder, "Tavrenix.def")

    def freeze():
        check(run(["chattr", "+i", definition, folder]), "chattr failed")

    if not run(["chattr", "-i", folder]):
        say("SKIPPED: this machine gives no way to make a folder read-only for this user")
        return drillkit.SKIPPED
    try:
        exit_refused(bench, folder, freeze)
    finally:
        run(["chattr", "-i", definition, folder])
    return 0


def main(bench, args):
    case = args[0] if args else ""
    cases = {"full": case_full, "readonly": case_readonly}
    check(case in cases, "unknown case %r" % case)
    return cases[case](bench)


if __name__ == "__main__":
    sys.exit(drillkit.run_drill(main))
