#!/usr/bin/env python3
"""Soak: continuous traffic with sequence numbers at 115200 baud pacing into Tavrenix.exe with
Comm on, "All Hex Format" and logging on, for 75 s (an hour in the long form). A short receive
time-out makes each piece of the writer a chunk of its own, so a minute holds thousands of chunks.
The log must hold every byte once and in order; after a warm-up, handles, open files and GDI and
USER objects (where the system counts them) stay flat, the program's own heap grows by no more
than a few bytes a chunk and the working set by no more than what Wine keeps per chunk and a
margin."""
import sys
import time

import drillkit
from drillkit import capturelog, check, procinfo, say

HANDLE_SLACK = 4
GUI_SLACK = 4
WARM_UP_S = 15
# Growth is the least-squares slope over the chunks received after the warm-up. The program's own
# heap (the C runtime's, read by the probe inside the process) holds under 200 KiB and moves by a
# few KiB: its bound catches a leak of 8 bytes a chunk. The working set also holds what the system
# libraries keep: Wine keeps 176 bytes (32-bit) or 352 bytes (64-bit) in its heaps for every event
# wait, one a chunk (tavwaitbench, without the program), and steps up and down by a few hundred
# KiB as its heaps grow and shrink; its bound is a catch-all for an object or buffer kept a chunk.
MIN_CHUNKS = 1000
OWN_HEAP_PER_1000_CHUNKS = 8 << 10
WORKING_SET_PER_1000_CHUNKS = 512 << 10

def slope(points):
    """Least-squares slope of y over x for (x, y) points."""
    n = float(len(points))
    mx = sum(x for x, _ in points) / n
    my = sum(y for _, y in points) / n
    var = sum((x - mx) ** 2 for x, _ in points)
    return sum((x - mx) * (y - my) for x, y in points) / var if var else 0.0


def chunk_count(program):
    """Lines in the log so far: in "All Hex Format" one per chunk (and the few messages)."""
    return capturelog.read(program.log).count(b"\n")


def main(bench, args):
    seconds = 3600 if drillkit.long_form() else 75
    program = drillkit.Program(bench, "soak", timeout_ms=2, log_name="soak.log", display_format=3)
    # Pieces every 8 ms, each a chunk of about 90 bytes: many chunks a minute, of steady size.
    writer = drillkit.Writer(bench.port(6), 115200, piece_s=0.008)
    samples = []
    curve = []  # (chunks received, working set, own heap, other heaps) every second after the warm-up
    try:
        program.command(drillkit.LOG_ON)
        program.command(drillkit.COMM_ON)
        writer.start()
        start = time.monotonic()
        time.sleep(WARM_UP_S)
        last_full = 0.0
        while time.monotonic() - start < seconds:
            time.sleep(1.0)
            now = time.monotonic() - start
            # Memory every second (it moves in steps of heap segments: many samples average them
            # out); the slower counts every 10 s.
            memory = program.memory()[0]
            own_heap, other_heaps = program.heap()
            if now - last_full >= 10.0 or now >= seconds:
                last_full = now
                check(writer.is_alive(), "the writer stopped: %s" % writer.error)
                check(program.alive(), "the program ended after %.0f s" % now)
                samples.append((round(now), program.handles(), memory, procinfo.fd_count(program.pid),
                                chunk_count(program), program.gui_objects()))
            curve.append((chunk_count(program), memory, own_heap, other_heaps))
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
    # The figures first, so that a run that fails on the log still shows them.
    say("samples (s, handles, working set MiB, open files, chunks, GDI and USER objects): %r" % [
        (s, h, round(m / 1048576.0, 2), f, c, g) for s, h, m, f, c, g in samples])
    (_, h0, _, f0, c0, g0), (_, _, _, _, c1, _) = samples[0], samples[-1]
    own = slope([(c, o) for c, _, o, _ in curve]) * 1000.0
    others = slope([(c, o) for c, _, _, o in curve]) * 1000.0
    per_1000 = slope([(c, m) for c, m, _, _ in curve]) * 1000.0
    say("own heap %.0f to %.0f KiB, other heaps %.0f to %.0f KiB" % (
        min(p[2] for p in curve) / 1024.0, max(p[2] for p in curve) / 1024.0,
        min(p[3] for p in curve) / 1024.0, max(p[3] for p in curve) / 1024.0))
    say("growth per 1000 chunks after the warm-up over %d chunks: own heap %.2f KiB, other heaps %.1f KiB, "
        "working set %.1f KiB" % (c1 - c0, own / 1024.0, others / 1024.0, per_1000 / 1024.0))

    check(got.out_of_place == 0, "bytes logged twice, out of order or garbled: %s" % got.summary())
    check(got.lost == 0, "bytes lost: %s; first gaps %r" % (got.summary(), got.gaps[:5]))
    check(got.perfect(), got.summary())
    messages = [e.text for e in entries if not e.is_data]
    check(len(messages) == 4, "other lines than Loggin to, On, Comm port off. and Logging stopped.: %r" % messages)
    check(max(s[1] for s in samples) - h0 <= HANDLE_SLACK, "handles grew from %d to %d" % (
        h0, max(s[1] for s in samples)))
    # Wine holds a few more files for moments under load (20, 24, 28 seen): a leak keeps them, so
    # the fewest of the second half is what must stay flat.
    f1 = min(s[3] for s in samples[len(samples) // 2:])
    check(f1 - f0 <= HANDLE_SLACK, "open files grew from %d to %d and stayed" % (f0, f1))
    if g0 is not None:
        for _, _, _, _, _, g in samples:
            check(g[0] - g0[0] <= GUI_SLACK and g[1] - g0[1] <= GUI_SLACK,
                  "GDI and USER objects grew from %r to %r" % (g0, g))
    check(c1 - c0 >= MIN_CHUNKS, "only %d chunks after the warm-up: too few to measure growth" % (c1 - c0))
    check(own <= OWN_HEAP_PER_1000_CHUNKS, "the program's heap grew by %.2f KiB per 1000 chunks (bound %d KiB)" % (
        own / 1024.0, OWN_HEAP_PER_1000_CHUNKS >> 10))
    check(per_1000 <= WORKING_SET_PER_1000_CHUNKS, "the working set grew by %.1f KiB per 1000 chunks (bound %d KiB)" % (
        per_1000 / 1024.0, WORKING_SET_PER_1000_CHUNKS >> 10))
    return 0


if __name__ == "__main__":
    sys.exit(drillkit.run_drill(main))
