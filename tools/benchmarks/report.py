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
                         "a posted notice, an entry and a log line, then the re-arming; the pane control follows "
                         "at most once a timer tick)" % (
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
            out.append(text + "; at the low rates the fixed cost of waiting (Wine's polling of the line) "
                              "dominates the figure, not the bytes.")
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


STEPS = [("notice", "the notice: from the sink's post to the window's handler"),
         ("lamp", "the lamp darkened"),
         ("entry", "`AddEntry` in the capture core: history, trim, rendering"),
         ("log", "the log line into the stream"),
         ("pane", "the pane control's text"),
         ("rearm", "the receiver armed again"),
         ("whole", "the handler from start to end")]


def _per_chunk(w):
    if not w or not w.get("chunks"):
        return None
    return {"chunks_per_s": w["chunks"] / w["seconds"], "cpu_ms": 1000.0 * w["cpu"] / w["chunks"],
            "bytes_per_s": w["bytes"] / w["seconds"]}


def _per_mib(r):
    return r["cpu"] / (r["bytes"] / MIB) if r and r.get("bytes") else None


def _ratio(a, b, fmt="%.1f"):
    return fmt % (a / b) if a is not None and b else "–"


def chunk_reading(results):
    """Sentences on the per-chunk figures and the targets, drawn from this run."""
    out = []
    c = results.get("chunk") or {}
    by = {(r["receiver"], r["label"]): r for r in results["line"]}
    now, old = by.get(("Tavrenix", "unpaced")), by.get(("Tavrenix before", "unpaced"))
    if now and old and now.get("chunks") and old.get("chunks"):
        out.append("Unpaced, the program now takes %s B/s in %.0f chunks a second at %.2f ms of CPU per chunk; the "
                   "commit before the change, in the same run, took %s B/s in %.0f chunks a second at %.2f ms "
                   "(%s times the chunks, %s of the CPU per chunk)." % (
                       _si(now["throughput"]), now["chunks"] / now["seconds"], 1000 * now["cpu"] / now["chunks"],
                       _si(old["throughput"]), old["chunks"] / old["seconds"], 1000 * old["cpu"] / old["chunks"],
                       _ratio(now["chunks"] / now["seconds"], old["chunks"] / old["seconds"]),
                       _ratio(now["cpu"] / now["chunks"], old["cpu"] / old["chunks"], "%.2f")))
    if now:
        out.append("Target: unpaced at least 4 times the 921600 line rate (368.64 kB/s) with nothing lost: %s "
                   "(%s B/s, %.2f times; in order / sent %.6f)." % (
                       "met" if now["throughput"] >= 368640 and now["ratio"] >= 1.0 else "**not met**",
                       _si(now["throughput"]), now["throughput"] / 92160.0, now["ratio"]))
    r115, p115 = by.get(("Tavrenix", "115200")), by.get(("picocom", "115200"))
    if r115 and p115 and r115.get("cpu_per_mib") and p115.get("cpu_per_mib"):
        text = "Target: CPU per MiB at 115200 baud at most picocom's: %s (%.2f against %.2f CPU s/MiB, %.2f times)" % (
            "met" if r115["cpu_per_mib"] <= p115["cpu_per_mib"] else "**not met**", r115["cpu_per_mib"],
            p115["cpu_per_mib"], r115["cpu_per_mib"] / p115["cpu_per_mib"])
        wm, rm = _per_mib(c.get("window_115200")), _per_mib(c.get("receiver_115200"))
        if wm and rm:
            text += ("; in `tavchunkbench` at 115200 baud the window takes %.2f CPU s/MiB and the port's receiver "
                     "alone, without any window, %.2f: Wine's receiving is %.0f %% of the cost, the program's own "
                     "share %.2f CPU s/MiB" % (wm, rm, 100 * min(1.0, rm / wm), max(0.0, wm - rm)))
        out.append(text + ".")
    idle = c.get("idle")
    if idle:
        own = max(0.0, idle["window_comm_on"] - idle["receiver_armed"])
        out.append("Target: idle under 1 %% of a core, or Wine's share shown: the window with Comm on uses %.2f %%; "
                   "the port's receiver alone, armed on the quiet line without any window, %.2f %% (Wine polling the "
                   "line for the event wait); the program's own share is the difference, %.2f %%, and the window "
                   "with Comm off %.2f %%." % (100 * idle["window_comm_on"], 100 * idle["receiver_armed"],
                                              100 * own, 100 * max(0.0, idle["window_comm_off"])))
    lat = results.get("latency") or []
    rlat = {r["timeout_ms"]: r for r in c.get("latency") or []}
    if lat and rlat:
        parts = []
        for r in lat:
            q = rlat.get(r["timeout_ms"])
            if q and r.get("median_excess_ms") is not None:
                parts.append("%d ms: %.1f in all, %.1f of them before the receiver hands the chunk over" % (
                    r["timeout_ms"], r["median_excess_ms"], q["median_excess_ms"]))
        if parts:
            worst = max(r["median_excess_ms"] for r in lat if r.get("median_excess_ms") is not None)
            out.append("Target: median latency excess at most 10 ms: %s (median excess in ms at a time-out of %s)." % (
                "met" if worst <= 10 else "**not met**", "; ".join(parts)))
    return out


def chunk_sections(results, w):
    c = results.get("chunk")
    if not c:
        return
    w("## One chunk, step by step")
    w("")
    w("`tavchunkbench.exe window` builds the monitor window itself in its process (the program's own")
    w("code and dialog resources, All Hex format, logging on, Comm on COM5), feeds COM6 unpaced for")
    w("%.0f s from a thread of its own and reads the window's step timers (performance counter, wall" % results["seconds"])
    w("time, so a busy shared core shows in them). CPU is the process's, less the feeding thread's.")
    if c.get("bursts"):
        w("`tavchunkbench.exe bursts` does the same with %d bursts of 11 bytes 37 ms apart (Normal format," % (
            c["bursts"]["chunks"]))
        w("no log, time-out 20 ms), as the latency benchmark sends them: the path of an isolated chunk.")
    before = c.get("before_window")
    rev = (results.get("before") or {}).get("commit", "")
    rows = [("unpaced", "unpaced, now", c.get("window"))]
    if before:
        rows.append(("before", "unpaced, before: %s" % rev.split(" ")[0], before))
    if c.get("bursts"):
        rows.append(("bursts", "isolated bursts, now", c.get("bursts")))
    if before:
        w("Before is commit %s, built in the same run: the program as it was, with the step timers." % rev.split(" ")[0])
    w("")
    w("| Run | Chunks | Chunks/s | B/s | CPU ms per chunk |")
    w("|---|---:|---:|---:|---:|")
    for _, name, r in rows:
        p = _per_chunk(r)
        if p:
            w("| %s | %d | %.0f | %s | %.3f |" % (name, r["chunks"], p["chunks_per_s"], _si(p["bytes_per_s"]), p["cpu_ms"]))
    w("")
    head = "| Step | " + " | ".join("%s: times | %s: mean µs | %s: µs per chunk" % (n, n, n) for n, _, _ in rows) + " |"
    w(head)
    w("|---|" + "---:|---:|---:|" * len(rows))
    for key, label in STEPS:
        cells = [label]
        for _, _, r in rows:
            s = (r or {}).get("steps", {}).get(key)
            if s and r.get("chunks"):
                cells += ["%d" % s["count"], "%.1f" % s["mean_us"], "%.1f" % (s["total_us"] / r["chunks"])]
            else:
                cells += ["–", "–", "–"]
        w("| " + " | ".join(cells) + " |")
    w("")
    w("The pane control now gets the text at most once a timer tick while chunks follow each other,")
    w("and then only its cut head and new tail; the lamp gets a new icon only when it is not dark")
    w("already. \"times\" counts how often a step ran during the run;")
    w("the notice's time includes waiting in the queue while the window finishes other work.")
    w("")
    pane = c.get("pane") or []
    if pane:
        w("Pane updates (`tavchunkbench.exe pane`: %d updates each, a message line per update, painting" % pane[0]["updates"])
        w("included; CPU of the window's thread):")
        w("")
        w("| Lines | Pane characters | Set whole: CPU ms | Cut and append: CPU ms | Ratio | Set whole: wall ms | Cut and append: wall ms |")
        w("|---|---:|---:|---:|---:|---:|---:|")
        for lines in ("short", "long"):
            a = [x for x in pane if x["lines"] == lines and x["method"] == "whole"]
            b = [x for x in pane if x["lines"] == lines and x["method"] != "whole"]
            if a and b:
                w("| %s | %d | %.2f | %.2f | %s | %.2f | %.2f |" % (
                    "short (\"burst-00001\")" if lines == "short" else "one 4000-character line", a[0]["pane_chars"],
                    a[0]["cpu_ms"], b[0]["cpu_ms"], _ratio(a[0]["cpu_ms"], b[0]["cpu_ms"]), a[0]["wall_ms"], b[0]["wall_ms"]))
        w("")
    w("## Wine's share")
    w("")
    rec, win = _per_chunk(c.get("receiver")), _per_chunk(c.get("window"))
    if rec:
        w("The port and its receiver alone (`tavchunkbench.exe receiver`: no window; the main thread re-arms")
        text = "at each chunk) on the same unpaced traffic: %.0f chunks a second, %.3f ms of CPU per chunk" % (
            rec["chunks_per_s"], rec["cpu_ms"])
        if win and rec["cpu_ms"] >= win["cpu_ms"]:
            text += ("; the whole window took %.3f ms per chunk in the same run: no more than the receive cycle "
                     "under Wine costs alone, so unpaced the program's own share of a chunk is lost in the noise" % win["cpu_ms"])
        elif win:
            text += ("; the whole window took %.3f ms per chunk in the same run, so %.0f %% of a chunk's CPU is the "
                     "receive cycle under Wine" % (win["cpu_ms"], 100 * rec["cpu_ms"] / win["cpu_ms"]))
        w(text + ".")
        w("")
    wm, rm = c.get("window_115200"), c.get("receiver_115200")
    if wm and rm and _per_mib(wm) and _per_mib(rm):
        w("At 115200 baud (paced as the line throughput stream, %.0f s each; CPU less the feeding thread's):" % results["seconds"])
        w("")
        w("| Receiver | Chunks | CPU s | CPU s/MiB |")
        w("|---|---:|---:|---:|")
        w("| the window (Comm on, All Hex, log on) | %d | %.2f | %.2f |" % (wm["chunks"], wm["cpu"], _per_mib(wm)))
        w("| the receiver alone | %d | %.2f | %.2f |" % (rm["chunks"], rm["cpu"], _per_mib(rm)))
        w("")
    idle = c.get("idle")
    if idle:
        w("| At rest (%.0f s each) | CPU share of a core |" % idle["seconds"])
        w("|---|---:|")
        w("| the window, Comm off (its timer stops when a tick has nothing to do) | %.2f %% |" % (100 * max(0.0, idle["window_comm_off"])))
        w("| the receiver alone, armed on the quiet line (Wine polls the line for the event wait) | %.2f %% |" % (100 * idle["receiver_armed"]))
        w("| the window, Comm on | %.2f %% |" % (100 * idle["window_comm_on"]))
        w("| the program's own share (window Comm on less the receiver alone) | %.2f %% |" % (
            100 * max(0.0, idle["window_comm_on"] - idle["receiver_armed"])))
        w("")
        w("Wine counts a process's CPU time in 10 ms ticks here, so each share is good to %.2f %%." % (
            100 * 0.01 / idle["seconds"]))
        w("")
    rlat = c.get("latency") or []
    if rlat:
        w("Latency before the window: from the write of a burst's last byte to the receiver's hand-over")
        w("(`OnData`), the receiver alone, %d bursts per time-out; the rest of the excess in the Latency" % rlat[0]["count"])
        w("table is the program's (the notice, the entry, the pane) and the probe's polling.")
        w("")
        w("| Receive time-out (ms) | Median excess (ms) | Worst excess (ms) |")
        w("|---:|---:|---:|")
        for r in rlat:
            w("| %d | %.1f | %.1f |" % (r["timeout_ms"], r["median_excess_ms"], r["worst_excess_ms"]))
        w("")
        steps = (c.get("bursts") or {}).get("steps")
        if steps:
            w("Where the program's share goes (the isolated bursts above, mean per chunk): the pane control's")
            w("update %.1f ms, the lamp %.1f ms, the notice %.1f ms, the entry and the re-arming %.2f ms. The pane" % (
                steps["pane"]["mean_us"] / 1000, steps["lamp"]["mean_us"] / 1000, steps["notice"]["mean_us"] / 1000,
                (steps["entry"]["mean_us"] + steps["rearm"]["mean_us"]) / 1000))
            w("update is one line appended to Wine's edit control with `EM_REPLACESEL`; setting the whole")
            w("text instead costs more (Pane updates above).")
            w("")


def write_markdown(path, results, plot_name):
    m = results["machine"]
    out = []
    w = out.append
    w("# Benchmarks")
    w("")
    w("Figures measured by `tools/benchmark.sh` (32-bit build under Wine). They describe one run on one")
    w("machine. The machine is shared with other work (see the load average), so wall-clock figures vary")
    w("from run to run; CPU figures are what the kernel accounted to the process itself and vary less,")
    w("and comparisons are drawn between figures of the same run.")
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
    for line in reading(results) + chunk_reading(results):
        w("- " + line)
    w("")
    chunk_sections(results, w)

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
    w("idle cost (for Tavrenix Wine's polling of the line, see Wine's share) dominates the figure.")
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
