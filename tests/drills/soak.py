#!/usr/bin/env python3
"""Soak: continuous traffic with sequence numbers at 115200 baud pacing into Tavrenix.exe with
Comm on, "All Hex Format" and logging on, for 60 s (an hour in the long form). The log must hold
every byte once and in order; handles, open files and the working set stay flat."""
import sys
import time

import drillkit
from drillkit import capturelog, check, procinfo, say

HANDLE_SLACK = 4
MEMORY_SLACK = 4 << 20


def main(bench, args):
    seconds = 3600 if drillkit.long_form() else 60
    program = drillkit.Program(bench, "soak", timeout_ms=100, log_name="soak.log", display_format=3)
    writer = drillkit.Writer(bench.port(6), 115200)
    samples = []
    try:
        program.command(drillkit.LOG_ON)
        program.command(drillkit.COMM_ON)
        writer.start()
        start = time.monotonic()
        while time.monotonic() - start < seconds:
            time.sleep(min(10.0, seconds - (time.monotonic() - start)))
            check(writer.is_alive(), "the writer stopped: %s" % writer.error)
            check(program.alive(), "the program ended after %.0f s" % (time.monotonic() - start))
            samples.append((round(time.monotonic() - start), program.handles(), program.memory()[0],
                            procinfo.fd_count(program.pid)))
        writer.stop()
        check(writer.error is None, "the line failed under the writer: %s" % writer.error)
        # The last chunk ends after the receive time-out; the log is written out every 50 ms.
        size, settled = -1, time.monotonic()
        while time.monotonic() - settled < 1.0:
            time.sleep(0.1)
            now = capturelog.read(program.log)
            if len(now) != size:
                size, settled = len(now), time.monotonic()
        program.command(drillkit.COMM_OFF)
        program.command(drillkit.LOG_OFF)
    finally:
        writer.stop()
        program.close()

    entries = capturelog.parse(capturelog.read(program.log))
    chunks = capturelog.data_chunks(entries)
    got = writer.check(chunks)
    say("%d s at 115200 baud: %s, %d chunks (largest %d)" % (
        seconds, got.summary(), len(chunks), max(len(c) for c in chunks) if chunks else 0))
    check(got.out_of_place == 0, "bytes logged twice, out of order or garbled: %s" % got.summary())
    check(got.lost == 0, "bytes lost: %s; first gaps %r" % (got.summary(), got.gaps[:5]))
    check(got.perfect(), got.summary())
    messages = [e.text for e in entries if not e.is_data]
    check(len(messages) == 4, "other lines than Loggin to, On, Comm port off. and Logging stopped.: %r" % messages)

    say("samples (s, handles, working set MiB, open files): %r" % [
        (s, h, round(m / 1048576.0, 1), f) for s, h, m, f in samples])
    (_, h0, m0, f0), (_, h1, m1, f1) = samples[0], samples[-1]
    check(max(s[1] for s in samples) - h0 <= HANDLE_SLACK, "handles grew from %d to %d" % (
        h0, max(s[1] for s in samples)))
    check(max(s[2] for s in samples) - m0 <= MEMORY_SLACK, "the working set grew by %.1f MiB" % (
        (max(s[2] for s in samples) - m0) / 1048576.0))
    check(max(s[3] for s in samples) - f0 <= HANDLE_SLACK, "open files grew from %d to %d" % (
        f0, max(s[3] for s in samples)))
    return 0


if __name__ == "__main__":
    sys.exit(drillkit.run_drill(main))
