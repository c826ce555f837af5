#!/usr/bin/env python3
"""Checks the settings file with an independent reader of the compound file format.

The test program writes the sample file; olefile must find exactly the three elements with the
right kinds and bytes. Then olefile changes the streams in place and the program must read the
new values back.

Usage: olefile_check.py BUILD_DIR TEST_PROGRAM
"""
import os
import struct
import subprocess
import sys
import tempfile

import olefile

HERE = os.path.dirname(os.path.abspath(__file__))
WINE_RUN = os.path.join(HERE, "..", "..", "tools", "bench", "wine-run.sh")


def app_info(text, tail_from_pattern, display_format):
    data = bytearray((i * 7 + 3) & 0xFF for i in range(256)) if tail_from_pattern else bytearray(256)
    data[: len(text) + 1] = text + b"\0"
    return bytes(data) + struct.pack("<i", display_format)


def comm_cfg(port, baud, parity, data_bits, stop_bits, timeout):
    return port.ljust(40, b"\0") + struct.pack("<5i", baud, parity, data_bits, stop_bits, timeout)


def run(build, program, *args, cwd):
    done = subprocess.run([WINE_RUN, build, program, *args], cwd=cwd, capture_output=True,
                          timeout=120, stdin=subprocess.DEVNULL)
    return done.returncode, done.stdout.decode("latin-1").strip()


def fail(message):
    print("FAIL:", message)
    sys.exit(1)


def main():
    build, program = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    with tempfile.TemporaryDirectory(prefix="tav-olefile-") as work:
        path = os.path.join(work, "sample.def")
        code, out = run(build, program, "--write-sample", "sample.def", cwd=work)
        if code != 0 or not os.path.exists(path):
            fail(f"the writer failed ({code}): {out}")
        if not olefile.isOleFile(path):
            fail("not a compound file")

        with olefile.OleFileIO(path) as ole:
            elements = sorted("/".join(e) for e in ole.listdir(streams=True, storages=True))
            if elements != ["appinfo", "commdef", "commdef/CommCfgDef"]:
                fail(f"elements {elements}")
            kinds = {name: ole.get_type(name) for name in elements}
            want = {"appinfo": olefile.STGTY_STREAM, "commdef": olefile.STGTY_STORAGE,
                    "commdef/CommCfgDef": olefile.STGTY_STREAM}
            if kinds != want:
                fail(f"kinds {kinds}")
            app = ole.openstream("appinfo").read()
            cfg = ole.openstream("commdef/CommCfgDef").read()
        if len(app) != 260 or len(cfg) != 60:
            fail(f"sizes {len(app)} and {len(cfg)}")
        if app != app_info(b"Z:\\tav\\capture log.txt", True, 2):
            fail(f"appinfo bytes {app!r}")
        if cfg != comm_cfg(b"COM12", 19200, 2, 7, 2, 250):
            fail(f"CommCfgDef bytes {cfg!r}")
        print("olefile reads what the program wrote: appinfo 260 bytes, commdef/CommCfgDef 60 bytes")

        # The other way round: streams rewritten by olefile are what the program loads.
        with olefile.OleFileIO(path, write_mode=True) as ole:
            ole.write_stream("appinfo", app_info(b"D:\\other\\x.log", False, 3))
            ole.write_stream("commdef/CommCfgDef", comm_cfg(b"COM3", 57600, 1, 8, 0, 500))
        code, out = run(build, program, "--read-sample", "sample.def", cwd=work)
        expected = "D:\\other\\x.log|3|COM3|57600|1|8|0|500"
        if code != 0 or out != expected:
            fail(f"the program read {out!r} ({code}), expected {expected!r}")
        print("the program reads what olefile wrote:", out)


if __name__ == "__main__":
    main()
