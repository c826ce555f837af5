#!/usr/bin/env python3
"""Log faults: the log on a full device, in a read-only folder, and deleted while logging. Each
time a clear message, no crash, and no claim that lines were written which were not.

Usage: log_faults.py BUILD full|readonly|deleted
  full      the log is /dev/full, reached through a drive letter mapped in the prefix's dosdevices
  readonly  the log's folder cannot be written (chmod, or chattr +i where chmod does not bind)
  deleted   the log file is removed from its folder while the program writes it
"""
import errno
import os
import subprocess
import sys
import time

import drillkit
from drillkit import check, say


def burst(bench, data):
    fd = os.open(bench.port(6), os.O_WRONLY | os.O_NOCTTY)
    try:
        os.write(fd, data)
    finally:
        os.close(fd)


def log_is_off(program):
    return (program.menu_checked(drillkit.LOG_OFF) and not program.menu_checked(drillkit.LOG_ON)
            and program.drive.call("checked", 1003) == "0")


def failure_told(program, path, seconds):
    """Waits for a pane line that names the log file and tells of an error; (line, texts)."""
    name = path.encode("latin-1")

    def told(texts):
        return any(name in t and b"rror" in t for t in texts)

    ok, texts, _ = program.wait_pane(told, seconds)
    return next((t for t in texts if name in t and b"rror" in t), None), texts


def still_receives(bench, program, marker):
    burst(bench, marker)
    hexed = marker.hex().upper().encode()
    ok, texts, _ = program.wait_pane(lambda t: t and t[-1] == hexed, 3.0)
    check(ok, "the program no longer shows what it receives: %r" % [t[:60] for t in texts[-4:]])


def free_drive_letter(prefix):
    used = {n[0].lower() for n in os.listdir(os.path.join(prefix, "dosdevices")) if n.endswith(":")}
    return next(c for c in "qrstuvwxy" if c not in used)


def case_full(bench):
    folder = bench.scratch("logfull-drive")
    os.symlink("/dev/full", os.path.join(folder, "full.log"))
    letter = free_drive_letter(bench.prefix)
    mapping = os.path.join(bench.prefix, "dosdevices", letter + ":")
    os.symlink(folder, mapping)
    path = "%s:\\full.log" % letter.upper()
    program = None
    try:
        program = drillkit.Program(bench, "logfull", display_format=3)
        program.drive.call("type", 1010, path)
        program.drive.call("leave")
        program.command(drillkit.LOG_ON)
        program.command(drillkit.COMM_ON)
        texts = program.pane_texts()
        check(("Loggin to (%s)" % path).encode() in texts, "logging did not start: %r" % texts)
        burst(bench, bytes(range(256)) * 4)
        line, texts = failure_told(program, path, 3.0)
        check(line, "no message about the failed log writes within 3 s: %r" % [t[:80] for t in texts])
        say("told: %r" % line)
        time.sleep(0.5)
        texts = program.pane_texts()
        check(sum(1 for t in texts if path.encode() in t and b"rror" in t) == 1,
              "the failure was told more than once: %r" % [t[:80] for t in texts])
        check(b"Logging stopped." not in texts, "a plain \"Logging stopped.\" after writes that failed")
        check(log_is_off(program), "logging is still shown as on after its writes failed")
        still_receives(bench, program, b"after the full device")
        check(len([t for t in program.pane_texts() if path.encode() in t and b"rror" in t]) == 1,
              "the failure was told again when more data came")
        drillkit.cpu_flat(program, 3.0)
        check(program.alive(), "the program ended")
    finally:
        if program:
            program.close()
        os.remove(mapping)


def make_read_only(folder):
    """chmod takes write access away except from root; chattr +i binds root too. True when the
    folder now refuses a new file."""
    os.chmod(folder, 0o555)
    probe = os.path.join(folder, "probe")

    def refuses():
        try:
            with open(probe, "w"):
                pass
        except OSError as e:
            return e.errno in (errno.EACCES, errno.EPERM, errno.EROFS)
        os.remove(probe)
        return False

    if refuses():
        return True
    subprocess.run(["chattr", "+i", folder], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return refuses()


def make_writable(folder):
    subprocess.run(["chattr", "-i", folder], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.chmod(folder, 0o755)


def case_readonly(bench):
    program = drillkit.Program(bench, "logro", display_format=3)
    folder = os.path.join(program.folder, "readonly")
    os.makedirs(folder, exist_ok=True)
    try:
        if not make_read_only(folder):
            say("SKIPPED: this machine gives no way to make a folder read-only for this user")
            return drillkit.SKIPPED
        path = drillkit.drive.winpath(os.path.join(folder, "log.txt"))
        program.drive.call("type", 1010, path)
        program.drive.call("leave")
        program.drive.call("post", drillkit.LOG_ON)  # opens a message box: posted, not sent
        box = bytes.fromhex(program.drive.call("box", 5000)).decode("latin-1")
        check(box == "Error attempting to open log file:\n  (%s)" % path, "the warning says %r" % box)
        program.drive.call("boxok")
        time.sleep(0.3)
        check(log_is_off(program), "logging is shown as on although its file could not be opened")
        check(not os.path.exists(os.path.join(folder, "log.txt")), "a log file appeared in the read-only folder")
        texts = program.pane_texts()
        check(not any(t.startswith(b"Loggin to (") for t in texts), "\"Loggin to\" shown: %r" % texts)
        program.command(drillkit.COMM_ON)
        still_receives(bench, program, b"no log, still shown")
        check(program.alive(), "the program ended")
    finally:
        make_writable(folder)
        program.close()
    return 0


def case_deleted(bench):
    program = drillkit.Program(bench, "logdel", log_name="deleted.log", display_format=3)
    try:
        program.command(drillkit.LOG_ON)
        program.command(drillkit.COMM_ON)
        burst(bench, b"before the deletion")
        ok, texts, _ = program.wait_pane(lambda t: t and t[-1] == b"before the deletion".hex().upper().encode(), 3)
        time.sleep(0.3)
        check(b"before the deletion".hex().upper().encode() in drillkit.capturelog.read(program.log),
              "the line before the deletion did not reach the log")
        os.remove(program.log)
        path = drillkit.drive.winpath(program.log)
        for i in range(20):
            burst(bench, b"after the deletion %02d" % i)
            time.sleep(0.1)
        line, texts = failure_told(program, path, 2.0)
        check(program.alive(), "the program ended after its log was deleted")
        check(line, "no message within 2 s that the log file %s is gone; the lines since are written to a "
                    "file nobody can open (pane: %r)" % (path, [t[:60] for t in texts[-3:]]))
        check(log_is_off(program), "logging is still shown as on after its file was deleted")
    finally:
        program.close()
    return 0


def main(bench, args):
    case = args[0] if args else ""
    cases = {"full": case_full, "readonly": case_readonly, "deleted": case_deleted}
    check(case in cases, "unknown case %r" % case)
    return cases[case](bench)


if __name__ == "__main__":
    sys.exit(drillkit.run_drill(main))
