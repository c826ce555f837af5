#!/usr/bin/env python3
"""Comm On and Off many times under traffic (a thousand times in the long form): every byte that
arrived while Comm was on is logged exactly once and in order, and the program's handles and
memory stay flat.

A byte counts as having arrived while on when it was written after Comm On had returned and at
least MARGIN before Comm Off was sent: later bytes may still sit in the line's buffer, which
Comm Off clears by design. Nothing may be logged twice or out of order, whenever it came.
"""
import random
import sys
import time

import drillkit
from drillkit import capturelog, check, say

MARGIN = 0.1           # s before Comm Off that a byte must have been written to count
ON_AFTER = 0.01        # s after Comm On returned
HANDLE_SLACK = 4
MEMORY_SLACK = 4 << 20


def period_lines(entries, k, writer):
    """The log's lines from the k-th On line to the next one: messages, and data as stream offsets."""
    ons = [i for i, e in enumerate(entries) if e.text.endswith(b"] On")]
    last = ons[k + 1] if k + 1 < len(ons) else len(entries)
    lines = []
    for e in entries[ons[k]:last + 1]:
        if e.is_data:
            c = writer.check([e.data])
            lines.append((e.stamp_ms % 100000, "data", c.runs or "unplaced %d bytes" % len(e.data)))
        else:
            lines.append((e.stamp_ms % 100000, e.text[:40].decode("latin-1")))
    return lines


def main(bench, args):
    cycles = 1000 if drillkit.long_form() else 80
    program = drillkit.Program(bench, "toggle", timeout_ms=20, log_name="toggle.log", display_format=3)
    writer = drillkit.Writer(bench.port(6), 19200, mixed=True)
    periods = []
    samples = []
    try:
        program.command(drillkit.LOG_ON)
        writer.start()
        for i in range(cycles):
            program.command(drillkit.COMM_ON)
            on = time.monotonic()
            time.sleep(random.uniform(0.03, 0.4))
            off = time.monotonic()
            program.command(drillkit.COMM_OFF)
            periods.append((on, off))
            time.sleep(random.uniform(0.01, 0.1))
            if i == cycles // 10 or i == cycles - 1:
                samples.append((i, program.handles(), program.memory()[0], drillkit.procinfo.fd_count(program.pid)))
        writer.stop()
        check(writer.error is None, "the line failed under the writer: %s" % writer.error)
        time.sleep(0.3)
        program.command(drillkit.LOG_OFF)
        check(program.alive(), "the program ended")
    finally:
        writer.stop()
        program.close()

    entries = capturelog.parse(capturelog.read(program.log))
    ons = sum(1 for e in entries if e.text.endswith(b"] On"))
    offs = sum(1 for e in entries if e.text == b"Comm port off.")
    check(ons == cycles, "%d \"On\" lines logged for %d switches" % (ons, cycles))
    check(offs >= cycles, "%d \"Comm port off.\" lines logged for %d switches" % (offs, cycles))
    others = [e.text for e in entries if not e.is_data and not e.text.endswith(b"] On")
              and e.text not in (b"Comm port off.", b"Logging stopped.") and not e.text.startswith(b"Loggin to (")]
    chunks = capturelog.data_chunks(entries)
    got = writer.check(chunks)
    say("%d switches, %d bytes written, %d logged in %d chunks; %d other lines %r" % (
        cycles, writer.sent(), got.in_order, len(chunks), len(others), [t[:50] for t in others[:3]]))
    check(not others, "lines other than On, Comm port off. and the log's own: %r" % [t[:60] for t in others[:5]])
    check(got.out_of_place == 0, "%d bytes logged twice, out of order or garbled (%s)" % (got.out_of_place,
                                                                                        got.summary()))
    missing = []
    required = 0
    for k, (on, off) in enumerate(periods):
        span = writer.written_between(on + ON_AFTER, off - MARGIN)
        if span is None:
            continue
        required += span[1] - span[0]
        if not got.covers(*span):
            missing.append((k, span))
    say("%d bytes arrived while on; %d periods lost some" % (required, len(missing)))
    check(required > 0, "no byte was written well inside an On period")
    if missing:
        k, span = missing[0]
        on, off = periods[k]
        say("period %d: Comm On returned at 0 ms, Comm Off sent at %.0f ms; pieces written (offset, end, ms):"
            % (k, (off - on) * 1000))
        say("  %r" % [(p[0], p[1], round((p[2] - on) * 1000)) for p in writer.pieces
                      if on - 0.2 <= p[2] <= off + 0.2])
        say("  logged runs near it: %r" % [r for r in got.runs if r[0] < span[1] + 2000 and r[0] + r[1] > span[0] - 2000])
        say("  the log's lines of that period: %r" % period_lines(entries, k, writer))
    check(not missing, "bytes that arrived while Comm was on are missing from the log in %d of %d periods; "
                       "first: period %d, stream bytes %d..%d" % (len(missing), len(periods), missing[0][0],
                                                                  missing[0][1][0], missing[0][1][1])
          if missing else "")

    (i0, h0, m0, f0), (i1, h1, m1, f1) = samples
    say("after %d switches: %d handles, %.1f MiB, %d fds; after %d: %d handles, %.1f MiB, %d fds" % (
        i0 + 1, h0, m0 / 1048576.0, f0, i1 + 1, h1, m1 / 1048576.0, f1))
    check(h1 - h0 <= HANDLE_SLACK, "handles grew from %d to %d" % (h0, h1))
    check(m1 - m0 <= MEMORY_SLACK, "the working set grew by %.1f MiB" % ((m1 - m0) / 1048576.0))
    check(f1 - f0 <= HANDLE_SLACK, "open files of the process grew from %d to %d" % (f0, f1))
    return 0


if __name__ == "__main__":
    sys.exit(drillkit.run_drill(main))
