#!/usr/bin/env python3
"""Damaged settings files loaded by the real program at start: from the settings tests' generator,
each file is put beside a copy of Tavrenix.exe as Tavrenix.def and the program is started. It must
come up, show what the manifest says a load gives (the defaults where the file gives nothing
usable) and leave the file as it was. A sound file at the end shows the comparison can pass.

Usage: damaged_settings.py BUILD TEST_SETTINGS_EXE [PER_KIND]
"""
import os
import shutil
import sys

import drillkit
from drillkit import check, drive, say

PARITY = "NOEMS"
STOP_BITS = ["1", "1.5", "2"]
FORMAT_ITEMS = [40006, 40007, 40017, 40018]
DEFAULTS = {"displayFormat": 0, "portName": b"COM1", "baudRate": 9600, "parity": 0, "dataBits": 8,
            "stopBits": 0, "rxTimeoutMs": 100, "logPath": b""}
PORT_TEXT, LOG_PATH = 1001, 1010


def unescape(text):
    """The manifest's \\xNN escapes back into bytes."""
    raw = text.encode("latin-1")
    out = bytearray()
    i = 0
    while i < len(raw):
        if raw[i:i + 2] == b"\\x" and i + 4 <= len(raw):
            out.append(int(raw[i + 2:i + 4], 16))
            i += 4
        else:
            out.append(raw[i])
            i += 1
    return bytes(out)


def manifest(folder):
    rows = []
    with open(os.path.join(folder, "manifest.txt"), encoding="latin-1") as f:
        for line in f:
            if line.startswith("#") or not line.strip():
                continue
            fields = line.rstrip("\n").split("\t")
            row = {"file": fields[0], "damage": fields[1], "exact": fields[2] == "1", "opens": fields[3] == "1"}
            if row["exact"]:
                row.update(displayFormat=int(fields[4]), portName=unescape(fields[5]), baudRate=int(fields[6]),
                           parity=int(fields[7]), dataBits=int(fields[8]), stopBits=int(fields[9]),
                           rxTimeoutMs=int(fields[10]), logPath=unescape(fields[11]) if len(fields) > 11 else b"")
            rows.append(row)
    return rows


def description(row):
    """The port box's text for line settings, as the program composes it."""
    name = row["portName"][:39]
    parity = PARITY[row["parity"]] if 0 <= row["parity"] < len(PARITY) else "?"
    stop = STOP_BITS[row["stopBits"]] if 0 <= row["stopBits"] < len(STOP_BITS) else "?"
    return name + ("  %d-%s-%d-%s" % (row["baudRate"], parity, row["dataBits"], stop)).encode()


def load_one(bench, program_drive, source, row, folder):
    for f in os.listdir(folder):
        os.remove(os.path.join(folder, f))
    target = os.path.join(folder, "Tavrenix.def")
    shutil.copyfile(source, target)
    with open(target, "rb") as f:
        before = f.read()
    what = "%s (%s)" % (row["file"], row["damage"])
    ok, pid = program_drive.ask("start", drive.winpath(folder))
    if not ok and (pid.endswith("exit code 1") or "CreateProcess" in pid):
        # No window could be made (not a crash, which ends with an exception code): once more.
        say("%s: %s; started again" % (what, pid))
        ok, pid = program_drive.ask("start", drive.winpath(folder))
    check(ok and pid, "%s: the program showed no window (%s)" % (what, pid))
    port = program_drive.text(PORT_TEXT)
    log = program_drive.text(LOG_PATH)
    state = int(program_drive.call("menu", FORMAT_ITEMS[0]))
    check(state != -1, "%s: the program's menu did not answer" % what)
    formats = [i for i, item in enumerate(FORMAT_ITEMS) if int(program_drive.call("menu", item)) & 0x8]
    pane = program_drive.text(1000)
    check(program_drive.call("running") == "1", "%s: the program ended after loading it" % what)
    check(len(formats) == 1, "%s: display formats checked: %r" % (what, formats))
    check(pane == b"", "%s: the pane is not empty at start: %r" % (what, pane[:80]))
    check(len(log) <= 255 and b"\0" not in log, "%s: log path box holds %d bytes" % (what, len(log)))
    if row["exact"]:
        want = row if row["opens"] else dict(row, **DEFAULTS)
        check(port == description(want), "%s: port box shows %r, the load gives %r" % (what, port, description(want)))
        check(log == want["logPath"], "%s: log path box shows %r, the load gives %r" % (what, log, want["logPath"]))
        check(formats[0] == want["displayFormat"], "%s: format %d shown, the load gives %d" % (
            what, formats[0], want["displayFormat"]))
    else:
        # What the system's reader still makes of the file decides; the shown texts stay bounded.
        check(0 < len(port) < 40 + 32, "%s: port box shows %r" % (what, port))
    # The program writes its settings only at File > Exit: a start leaves the file as it was.
    program_drive.call("kill")
    with open(target, "rb") as f:
        check(f.read() == before, "%s: the settings file was changed by starting the program" % what)


def main(bench, args):
    check(args, "the generator program (test_settings.exe) is not named")
    generator = args[0]
    per_kind = int(args[1]) if len(args) > 1 else (60 if drillkit.long_form() else 10)
    files = bench.scratch("damaged-files")
    folder = bench.scratch("damaged-run")
    seed = drillkit.random.randrange(1, 1 << 30)
    say("generator seed %d, %d files per kind" % (seed, per_kind))
    drillkit.subprocess.run([os.path.join(drillkit.ROOT, "tools", "bench", "wine-run.sh"), bench.build, generator,
                             "--write-damaged", drive.winpath(files), str(per_kind), str(seed)],
                            check=True, stdin=drillkit.subprocess.DEVNULL, stdout=drillkit.subprocess.DEVNULL,
                            timeout=120)
    rows = manifest(files)
    kinds = sorted({r["damage"] for r in rows})
    check(len(kinds) >= 9, "the generator wrote only the kinds %r" % kinds)
    program_drive = drive.Drive(drillkit.ROOT, bench.build)
    try:
        for row in rows:
            load_one(bench, program_drive, os.path.join(files, row["file"]), row, folder)
        # A sound file is shown as written: the comparison above can pass.
        good = dict(DEFAULTS, portName=b"COM5")
        program_drive.call("settings", drive.winpath(folder), "COM5", 100, "", 0)
        program_drive.call("start", drive.winpath(folder))
        check(program_drive.text(PORT_TEXT) == description(good), "the sound file is not shown as written")
    finally:
        program_drive.call("kill")
        program_drive.close()
    say("%d damaged files (%s) loaded: no crash, what a load gives shown" % (len(rows), ", ".join(kinds)))
    return 0


if __name__ == "__main__":
    sys.exit(drillkit.run_drill(main))
