"""Latency: from the last byte of a burst written to the line until its line is in the pane, per
receive time-out, timed by tavdrive polling the pane's text."""
import os
import statistics

import drive

TIMEOUTS = [20, 50, 100]


def measure(drv, workdir, timeout_ms, bursts=100, gap_ms=37):
    folder = os.path.join(workdir, "tavrenix-latency-%d" % timeout_ms)
    os.makedirs(folder, exist_ok=True)
    drv.call("settings", drive.winpath(folder), "COM5", timeout_ms, "", 0)
    drv.call("start", drive.winpath(folder))
    drv.call("command", 40011)  # Comm On
    figures = [float(x) for x in drv.call("latency", "COM6", bursts, gap_ms, timeout=600).split()]
    drv.call("command", 40012)
    drv.call("kill")
    shown = sorted(f for f in figures if f >= 0)
    r = {"timeout_ms": timeout_ms, "bursts": bursts, "shown": len(shown), "missed": bursts - len(shown)}
    if shown:
        r.update(median_ms=statistics.median(shown), worst_ms=shown[-1], best_ms=shown[0],
                 p90_ms=shown[min(len(shown) - 1, int(0.9 * len(shown)))])
        r.update(median_excess_ms=r["median_ms"] - timeout_ms, worst_excess_ms=r["worst_ms"] - timeout_ms)
    return r
