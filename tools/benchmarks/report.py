"""docs/benchmarks.md and the throughput plot from the collected figures."""
import os

MIB = 1024.0 * 1024.0


def _num(v, fmt="%.3f", none="–"):
    return none if v is None else fmt % v


def _si(v):
    if v is None:
        return "–"
    for unit, scale in (("M", 1e6), ("k", 1e3)):
        if abs(v) >= scale:
            return "%.2f %s" % (v / scale, unit)
    return "%.0f" % v


def _line_rows(results, receiver):
    return [r for r in results["line"] if r["receiver"] == receiver]


def reading(results):
    """A few sentences drawn from the figures, so that they stay true when the run is repeated."""
    out = []
    by = {(r["receiver"], r["label"]): r for r in results["line"]}
    tav = _line_rows(results, "Tavrenix")
    if tav:
        short = [r for r in tav if r["ratio"] < 1.0]
        if not short:
            out.append("Tavrenix logged every byte in order at every rate (in order / sent 1.000000 throughout); "
                       "so did every other receiver%s." % (
                           "" if all(r["ratio"] >= 1.0 for r in results["line"]) else " except where marked below"))
        else:
            out.append("**Tavrenix lost or misplaced bytes** at %s: see the tables." % ", ".join(r["label"] for r in short))
        paced = [r for r in tav if r["baud"] and r["baud"] <= 115200]
        if paced and all(r["throughput"] >= 0.9 * r["baud"] / 10.0 for r in paced):
            out.append("Up to 115200 baud the program keeps up with the line: throughput is the line rate.")
        top = by.get(("Tavrenix", "unpaced"))
        cat = by.get(("cat", "unpaced"))
        if top:
            text = ("Unpaced, the program takes %s B/s (%.1f times 115200 baud) in chunks of at most %d bytes"
                    % (_si(top["throughput"]), top["throughput"] / 11520.0, top.get("chunk_max", 0)))
            if cat:
                text += ", against %s B/s for a plain `cat`" % _si(cat["throughput"])
            if top.get("chunks") and top["seconds"] > 0:
                text += ("; that is %.0f chunks a second, each one receive cycle (a read of at most 2000 bytes, "
                         "a posted notice, a pane update and a log line, then the re-arming)" % (
                             top["chunks"] / top["seconds"]))
            out.append(text + ".")
        r115 = by.get(("Tavrenix", "115200"))
        if r115 and r115.get("cpu_per_mib"):
            text = "At 115200 baud the program spends %.2f CPU s per MiB" % r115["cpu_per_mib"]
            others = []
            for name in ("cat", "picocom"):
                o = by.get((name, "115200"))
                if o and o.get("cpu_per_mib"):
                    others.append("%.1f times %s's %.2f" % (r115["cpu_per_mib"] / o["cpu_per_mib"], name, o["cpu_per_mib"]))
            if others:
                text += " (" + "; ".join(others) + ")"
            out.append(text + "; at the low rates the fixed cost of waiting (the 50 ms timer, Wine's polling of "
                              "the line) dominates the figure, not the bytes.")
    if "idle" in results:
        out.append("Idle with Comm on, the program uses %.2f %% of a core." % (100 * results["idle"][0]))
    lat = results.get("latency") or []
    if lat and all(r.get("median_excess_ms") is not None for r in lat):
        out.append("A burst shows in the pane a median of %s ms after the receive time-out (worst %s ms); "
                   "the excess does not grow with the time-out." % (
                       "/".join("%.0f" % r["median_excess_ms"] for r in lat),
                       "/".join("%.0f" % r["worst_excess_ms"] for r in lat)) if
                   max(r["median_excess_ms"] for r in lat) - min(r["median_excess_ms"] for r in lat) < 15 else
                   "A burst shows in the pane a median of %s ms after the receive time-out (worst %s ms)." % (
                       "/".join("%.0f" % r["median_excess_ms"] for r in lat),
                       "/".join("%.0f" % r["worst_excess_ms"] for r in lat)))
        missed = sum(r["missed"] for r in lat)
        if missed:
            out.append("**%d bursts did not show** within 5 s." % missed)
    adds = [x for x in results.get("core", []) if x["kind"] == "add"]
    if adds:
        slow = min(adds, key=lambda x: x["mib_per_s"])
        big = [x for x in adds if x["chunk"] == 2000]
        out.append("The capture core renders %.0f to %.0f MiB/s for 2000-byte chunks and at worst %.2f MiB/s "
                   "(%s, %d-byte chunks, where the time stamp and the pane text dominate): far above any "
                   "serial line, so the window and Wine, not the formatting, bound the program." % (
                       min(x["mib_per_s"] for x in big) if big else 0, max(x["mib_per_s"] for x in big) if big else 0,
                       slow["mib_per_s"], slow["format"], slow["chunk"]))
    return out


def write_markdown(path, results, plot_name):
    m = results["machine"]
    out = []
    w = out.append
    w("# Benchmarks")
    w("")
    w("Figures measured by `tools/benchmark.sh` (32-bit build under Wine). They describe one run on one")
    w("machine; the machine is shared, so wall-clock figures vary from run to run. CPU figures are what")
    w("the kernel accounted to the process itself and vary less.")
    w("")
    w("## Machine")
    w("")
    w("| | |")
    w("|---|---|")
    w("| Date | %s |" % m["date"])
    w("| CPU | %s |" % m["cpu"])
    w("| Cores (`nproc`) | %s |" % m["nproc"])
    w("| Memory | %s |" % m["memory"])
    w("| Kernel | %s |" % m["kernel"])
    w("| Wine | %s |" % m["wine"])
    w("| Program measured | %s |" % m.get("program", "?"))
    w("| picocom | %s |" % m.get("picocom", "not installed"))
    w("| Load average at start / end | %s / %s |" % (m["load_start"], m.get("load_end", "?")))
    w("")

    w("## Reading")
    w("")
    for line in reading(results):
        w("- " + line)
    w("")

    w("## Line throughput")
    w("")
    w("A known stream (records of the magic bytes A5 5A, a 32-bit sequence number and every byte value")
    w("00..FF) is written into the far end of a pty pair (COM6), paced at 10 bits per byte at each baud")
    w("rate, or unpaced (as fast as the receiver takes it), for %.0f s per rate. Receivers on COM5:" % results["seconds"])
    w("")
    w("- **Tavrenix**: the running Tavrenix.exe with Comm on, \"All Hex Format 00ABFF\" and logging on;")
    w("  its log is decoded back into bytes, one chunk per data line, and lined up against the stream.")
    w("- **cat**: a plain `cat` of the pty into a file (the floor).")
    w("- **picocom**: picocom %s from Debian with `--logfile`, under `script` for its terminal." % m.get("picocom", ""))
    w("")
    w("*In order / sent* counts the received bytes that stand at their place in the stream, each after")
    w("the one before (1.000000: nothing lost, duplicated or reordered). Throughput is bytes in order per")
    w("second from the first byte written until the receiver's output stopped growing. CPU s/MiB is the")
    w("receiver process's user + system CPU time over that time per MiB received (for Tavrenix, the Wine")
    w("process of Tavrenix.exe; the Wine server's own time is shown beside it).")
    w("")
    w("Tavrenix.exe idle with Comm on and a quiet line: %.2f %% of a core, Wine server %.2f %%." % (
        100 * results["idle"][0], 100 * results["idle"][1]))
    w("")
    w("| Rate (baud) | Sent (bytes) | In order / sent | Throughput (B/s) | Chunks | Largest chunk | Mean chunk | CPU s/MiB | Wine server CPU s/MiB |")
    w("|---:|---:|---:|---:|---:|---:|---:|---:|---:|")
    for r in _line_rows(results, "Tavrenix"):
        w("| %s | %d | %.6f | %s | %d | %d | %.1f | %s | %s |" % (
            r["label"], r["sent"], r["ratio"], _si(r["throughput"]), r.get("chunks", 0), r.get("chunk_max", 0),
            r.get("chunk_mean", 0.0), _num(r["cpu_per_mib"], "%.3f"), _num(r.get("server_cpu_per_mib"), "%.3f")))
    w("")
    w("Against the floor and the peer terminal (same stream, same rates):")
    w("")
    receivers = [n for n in ("Tavrenix", "cat", "picocom") if _line_rows(results, n)]
    head = "| Rate (baud) | " + " | ".join("%s in order / sent" % n for n in receivers)
    head += " | " + " | ".join("%s B/s" % n for n in receivers)
    head += " | " + " | ".join("%s CPU s/MiB" % n for n in receivers)
    if "cat" in receivers:
        head += " | " + " | ".join("%s CPU / cat CPU" % n for n in receivers if n != "cat")
    w(head + " |")
    cols = len(receivers) * 3 + (len(receivers) - 1 if "cat" in receivers else 0)
    w("|---:|" + "---:|" * cols)
    by = {(r["receiver"], r["label"]): r for r in results["line"]}
    for label in [r["label"] for r in _line_rows(results, receivers[0])]:
        rows = [by.get((n, label)) for n in receivers]
        cells = [label]
        cells += ["%.6f" % r["ratio"] if r else "–" for r in rows]
        cells += [_si(r["throughput"]) if r else "–" for r in rows]
        cells += [_num(r["cpu_per_mib"], "%.4f") if r else "–" for r in rows]
        if "cat" in receivers:
            cat = by.get(("cat", label))
            for n, r in zip(receivers, rows):
                if n == "cat":
                    continue
                if r and cat and r["cpu_per_mib"] and cat["cpu_per_mib"]:
                    cells.append("%.1f" % (r["cpu_per_mib"] / cat["cpu_per_mib"]))
                else:
                    cells.append("–")
        w("| " + " | ".join(cells) + " |")
    w("")
    w("CPU time is read from the kernel's per-thread accounting (nanoseconds for live threads, clock")
    w("ticks for threads that ended). At the low rates only a few hundred bytes pass, so the receiver's")
    w("idle cost (for Tavrenix its 50 ms timer and Wine's polling of the line) dominates the figure.")
    w("")
    w("![Throughput and CPU per MiB against the baud rate](%s)" % plot_name)
    w("")

    w("## Latency")
    w("")
    w("Time from the return of the write of a burst's last byte (11 bytes, written by tavdrive to COM6)")
    w("until tavdrive, polling the pane's text with `WM_GETTEXT` about once a millisecond, finds the")
    w("burst's line at its end; %d bursts per receive time-out, a quiet gap of 37 ms before each." % (
        results["latency"][0]["bursts"] if results["latency"] else 0))
    w("The excess is the figure minus the time-out: what the program adds to the silence that ends a chunk.")
    w("")
    w("| Receive time-out (ms) | Shown | Best (ms) | Median (ms) | 90 % (ms) | Worst (ms) | Median excess (ms) | Worst excess (ms) |")
    w("|---:|---:|---:|---:|---:|---:|---:|---:|")
    for r in results["latency"]:
        w("| %d | %d of %d | %s | %s | %s | %s | %s | %s |" % (
            r["timeout_ms"], r["shown"], r["bursts"], _num(r.get("best_ms"), "%.1f"), _num(r.get("median_ms"), "%.1f"),
            _num(r.get("p90_ms"), "%.1f"), _num(r.get("worst_ms"), "%.1f"), _num(r.get("median_excess_ms"), "%.1f"),
            _num(r.get("worst_excess_ms"), "%.1f")))
    w("")

    w("## Capture core")
    w("")
    w("`CapturePane::AddEntry` as the monitor window calls it (with the local-time stamp), per display")
    w("format and chunk size, on bytes that run through every value (a control code in 8 of 64), against")
    w("plain copying of the same bytes (`memcpy` into a pane-sized buffer). Rates are per CPU second of")
    w("the benchmark's thread (tavcorebench.exe under Wine), so waiting for a shared core does not count.")
    w("The window's part of an entry (setting the pane control's text, the log write) is not included.")
    w("")
    w("| Format | Chunk (bytes) | Entries/s | MiB/s | Copy MiB/s | Copy / AddEntry |")
    w("|---|---:|---:|---:|---:|---:|")
    for r in (x for x in results["core"] if x["kind"] == "add"):
        w("| %s | %d | %s | %.2f | %.0f | %.0f× |" % (
            r["format"], r["chunk"], _si(r["entries_per_s"]), r["mib_per_s"], r["copy_mib_per_s"],
            r["copy_mib_per_s"] / r["mib_per_s"] if r["mib_per_s"] else 0))
    stamp = [x for x in results["core"] if x["kind"] == "stamp"]
    if stamp:
        w("")
        w("The time stamp alone (`GetLocalTime`): %s calls/s." % _si(stamp[0]["calls_per_s"]))
    w("")
    w("Re-rendering after a format switch: a history of 100 entries of the given size, the format")
    w("switched back and forth between the named one and the next; each switch renders the newest")
    w("entries that fit into the 4096-byte pane.")
    w("")
    w("| Entry (bytes) | Switch | Pane characters | µs per switch |")
    w("|---:|---|---:|---:|")
    names = ["Normal", "Hex", "Mnemonic", "AllHex"]
    for r in (x for x in results["core"] if x["kind"] == "rerender"):
        other = names[(names.index(r["format"]) + 1) % 4]
        w("| %d | %s ↔ %s | %d | %.1f |" % (r["entry_bytes"], r["format"], other, r["pane_chars"], r["us_per_switch"]))
    w("")
    with open(path, "w") as f:
        f.write("\n".join(out))


def plot(path, results):
    import matplotlib
    matplotlib.use("Agg")
    import matplotlib.pyplot as plt

    paced = sorted({r["baud"] for r in results["line"] if r["baud"]})
    unpaced_x = paced[-1] * 4 if paced else 1
    fig, (top, bottom) = plt.subplots(2, 1, figsize=(9, 9), sharex=True)
    styles = {"Tavrenix": ("tab:blue", "o"), "cat": ("tab:gray", "s"), "picocom": ("tab:orange", "^")}
    for name, (color, marker) in styles.items():
        rows = [r for r in results["line"] if r["receiver"] == name]
        if not rows:
            continue
        xs = [r["baud"] or unpaced_x for r in rows]
        top.plot(xs, [max(r["throughput"], 1e-3) for r in rows], marker=marker, color=color, label=name)
        cpu = [(x, r["cpu_per_mib"]) for x, r in zip(xs, rows) if r["cpu_per_mib"]]
        if cpu:
            bottom.plot([c[0] for c in cpu], [c[1] for c in cpu], marker=marker, color=color, label=name)
        if name == "Tavrenix":
            srv = [(x, r["server_cpu_per_mib"]) for x, r in zip(xs, rows) if r.get("server_cpu_per_mib")]
            if srv:
                bottom.plot([c[0] for c in srv], [c[1] for c in srv], marker=marker, color=color, linestyle=":",
                            label="Wine server (during Tavrenix runs)")
    if paced:
        top.plot(paced, [b / 10.0 for b in paced], color="black", linestyle="--", linewidth=0.8,
                 label="line rate (10 bits per byte)")
    top.set_yscale("log")
    top.set_ylabel("bytes received in order per second")
    top.set_title("Line throughput into the receiver")
    top.grid(True, which="both", alpha=0.3)
    top.legend(loc="upper left", fontsize=8)
    bottom.set_yscale("log")
    bottom.set_ylabel("CPU seconds per MiB received")
    bottom.set_title("Cost per byte (receiver's own CPU time)")
    bottom.grid(True, which="both", alpha=0.3)
    bottom.legend(loc="upper right", fontsize=8)
    bottom.set_xscale("log")
    ticks = paced + [unpaced_x]
    bottom.set_xticks(ticks)
    bottom.set_xticklabels([str(b) for b in paced] + ["unpaced"], rotation=45, ha="right")
    bottom.minorticks_off()
    bottom.set_xlabel("baud rate of the pacing")
    m = results["machine"]
    fig.suptitle("Tavrenix.exe (%s) under %s, %s, %s" % (m.get("program", "?"), m["wine"], m["date"], m["cpu"]),
                 fontsize=9)
    fig.tight_layout()
    fig.savefig(path, dpi=100)
    plt.close(fig)
