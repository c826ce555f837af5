#!/usr/bin/env python3
"""Device lost: the far end of the program's line goes away (its socat is killed by process id)
while Comm is on. Within a second the pane shows an error line and "Comm port off.", the program
then sits idle (no CPU spin) and keeps running; once the line is back on the same path, Comm On
works again.

Usage: device_lost.py BUILD idle|midchunk
  idle      the line is quiet when it goes
  midchunk  it goes while a chunk is being received
"""
import os
import signal
import sys
import time

import drillkit
from drillkit import check, say

COMM_OFF_TEXT = b"Comm port off."


def lose_line(bench, program, writer=None):
    """Kills the line's socat; returns the pane texts that followed the On line."""
    on_index = len(program.pane_texts()) - 1
    socat = bench.line_pids()[0]
    killed = time.monotonic()
    os.kill(socat, signal.SIGKILL)

    def ended(texts):
        return len(texts) >= on_index + 3 and texts[-1] == COMM_OFF_TEXT

    held, texts, _ = program.wait_pane(ended, 3.0)
    took = time.monotonic() - killed
    if writer:
        writer.stop()
    after = texts[on_index + 1:]
    check(held, "no error line and \"Comm port off.\" within 3 s of losing the line; the pane after the On "
                "line: %r" % [t[:60] for t in after])
    check(took <= 1.0, "the loss was reported after %.2f s (at most 1 s): %r" % (took, [t[:60] for t in after]))
    check(len(after) >= 2 and b"error" in after[-2].lower(),
          "no error line before \"Comm port off.\": %r" % [t[:60] for t in after])
    say("reported in %.3f s: %r" % (took, [t[:60] for t in after]))
    check(not program.drive.call("checked", 1007) == "1", "the Comm Port box is still checked")
    check(program.menu_checked(drillkit.COMM_OFF), "\"Comm Off\" is not checked after the loss")
    return after


def main(bench, args):
    case = args[0] if args else "idle"
    check(case in ("idle", "midchunk"), "unknown case %s" % case)
    program = drillkit.Program(bench, "lost-" + case, display_format=0)
    writer = None
    try:
        program.command(drillkit.COMM_ON)
        ok, texts, _ = program.wait_pane(lambda t: t and t[-1].endswith(b"] On"), 3.0)
        check(ok, "Comm On did not show its line: %r" % texts)
        if case == "midchunk":
            # Continuous traffic: a chunk ends only after 2000 bytes (about 2 s at 9600 baud).
            writer = drillkit.Writer(bench.port(6), 9600)
            writer.start()
            time.sleep(0.7)
            check(writer.sent() > 100, "the writer did not get going")
            check(len(program.pane_texts()) == len(texts), "a chunk ended already: %r" % program.pane_texts())
        else:
            time.sleep(0.5)
        lose_line(bench, program, writer)

        check(program.alive(), "the program ended after losing its line")
        used = drillkit.cpu_flat(program, 5.0)
        say("CPU over 5 s after the loss: %.3f s" % used)
        check(program.alive(), "the program ended while idle after losing its line")

        # The line comes back on the same path: Comm On receives again.
        bench.restart_line()
        before = len(program.pane_texts())
        program.command(drillkit.COMM_ON)
        time.sleep(0.5)
        fd = os.open(bench.port(6), os.O_WRONLY | os.O_NOCTTY)
        os.write(fd, b"the line is back")
        os.close(fd)
        ok, texts, _ = program.wait_pane(lambda t: t and t[-1] == b"the line is back", 3.0)
        check(ok, "Comm On on the line that came back on the same path did not receive; the pane after "
                  "Comm On: %r" % texts[before:])
        check(program.menu_checked(drillkit.COMM_ON), "Comm is not on after receiving")
        program.command(drillkit.COMM_OFF)
    finally:
        try:
            if writer:
                writer.stop()
        finally:
            # The bench's line comes back whatever happened, for the tests that follow.
            bench.restart_line()
            program.close()
    return 0


if __name__ == "__main__":
    sys.exit(drillkit.run_drill(main))
