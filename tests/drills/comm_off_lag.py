#!/usr/bin/env python3
"""Comm Off while the program lags behind a busy line: its window thread stalls for a few seconds
under traffic at 115200 baud, and Comm Off is taken the moment the stall ends, before the chunk
posted meanwhile. The log holds one unbroken run of the stream from its first byte: the chunk in
flight and what waited in the device come before the purge, and nothing in between is lost."""
import sys
import time

import drillkit
from drillkit import capturelog, check, say

STALL_MS = 3000


def main(bench, args):
    program = drillkit.Program(bench, "lag", timeout_ms=2, log_name="lag.log", display_format=3)
    writer = drillkit.Writer(bench.port(6), 115200)
    try:
        program.command(drillkit.LOG_ON)
        program.command(drillkit.COMM_ON)
        writer.start()
        time.sleep(2.0)
        stalled = time.monotonic()
        program.stall(STALL_MS)
        # Sent, so taken before the posted notice of the chunk that ended during the stall.
        program.command(drillkit.COMM_OFF)
        held = time.monotonic() - stalled
        time.sleep(0.5)
        drillkit.wind_up(program, writer)
    finally:
        writer.stop()
        program.close()

    entries = capturelog.parse(capturelog.read(program.log))
    got = writer.check(capturelog.data_chunks(entries))
    before = writer.written_between(0, stalled)
    say("Comm Off after a %.1f s stall: %d bytes written before it, logged runs %r" % (
        held, before[1] if before else 0, got.runs[:4]))
    check(held >= STALL_MS / 1000.0 * 0.9, "the stall did not hold the window (%.1f s)" % held)
    check(got.out_of_place == 0, "bytes logged twice, out of order or garbled: %s" % got.summary())
    check(len(got.runs) == 1 and got.runs[0][0] == 0, "bytes missing before the last one logged: runs %r" % got.runs[:5])
    check(before is not None and got.covers(0, before[1]), "bytes written before the stall are missing")
    messages = [e.text for e in entries if not e.is_data]
    check(messages[-2:] == [b"Comm port off.", b"Logging stopped."], "the log ends with %r" % messages[-3:])
    return 0


if __name__ == "__main__":
    sys.exit(drillkit.run_drill(main))
