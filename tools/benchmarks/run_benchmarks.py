#!/usr/bin/env python3
"""Runs every benchmark against a built tree whose bench is running and writes the report.

Usage: run_benchmarks.py ROOT BUILD [--seconds S] [--bursts N] [--quick]
"""
import argparse
import datetime
import json
import os
import platform
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import chunkbench  # noqa: E402
import corebench  # noqa: E402
import drive  # noqa: E402
import latencybench  # noqa: E402
import linebench  # noqa: E402
import report  # noqa: E402


def _first_line(cmd):
    try:
        return subprocess.run(cmd, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                              stdin=subprocess.DEVNULL, timeout=60).stdout.decode().splitlines()[0].strip()
    except (OSError, IndexError, subprocess.TimeoutExpired):
        return "?"


def program_arch(exe):
    """The architecture a Windows program was built for, from its PE header."""
    import struct
    with open(exe, "rb") as f:
        head = f.read(4096)
    pe = struct.unpack_from("<I", head, 0x3C)[0]
    kind = struct.unpack_from("<H", head, pe + 4)[0]
    return {0x14C: "i686 (32-bit)", 0x8664: "x86_64 (64-bit)"}.get(kind, "machine 0x%x" % kind)


def machine():
    cpu = "?"
    with open("/proc/cpuinfo") as f:
        for line in f:
            if line.startswith("model name"):
                cpu = line.split(":", 1)[1].strip()
                break
    with open("/proc/meminfo") as f:
        kib = int(f.readline().split()[1])
    info = {
        "date": datetime.datetime.now().strftime("%Y-%m-%d %H:%M %Z").strip(),
        "cpu": cpu,
        "nproc": _first_line(["nproc"]),
        "memory": "%.1f GiB" % (kib / 1048576.0),
        "kernel": platform.release(),
        "wine": _first_line([os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "bench", "wine.sh"), "--version"]),
        "load_start": " ".join(open("/proc/loadavg").read().split()[:3]),
    }
    if linebench.picocom_available():
        info["picocom"] = _first_line(["dpkg-query", "-W", "-f=${Version}", "picocom"])
    return info


def log(msg):
    print("benchmark: " + msg, flush=True)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("root")
    ap.add_argument("build")
    ap.add_argument("--seconds", type=float, default=4.0, help="time per rate and receiver")
    ap.add_argument("--bursts", type=int, default=100)
    ap.add_argument("--quick", action="store_true", help="a few rates only (trying the tools out)")
    ap.add_argument("--docs", default=None, help="where benchmarks.md and throughput.png go")
    ap.add_argument("--report-only", action="store_true", help="write the report from the last results")
    ap.add_argument("--before", default=None, help="an earlier commit to build and compare with")
    a = ap.parse_args()
    root, build = os.path.abspath(a.root), os.path.abspath(a.build)
    docs = a.docs or os.path.join(root, "docs")
    work = os.path.join(build, "benchmarks")
    os.makedirs(work, exist_ok=True)
    if a.report_only:
        with open(os.path.join(work, "results.json")) as f:
            write_report(json.load(f), docs)
        return 0
    bench = os.path.join(build, "bench")
    far = os.path.realpath(os.path.join(bench, "tty6"))
    rates = [9600, 115200, None] if a.quick else linebench.RATES

    info = machine()
    info["program"] = program_arch(os.path.join(build, "Tavrenix.exe"))
    results = {"machine": info, "seconds": a.seconds, "line": [], "latency": [], "core": []}
    before_build = None
    if a.before:
        before_build = chunkbench.build_before(root, a.before, os.path.join(work, "before"), log,
                                              "x86_64" if info["program"].startswith("x86_64") else "i686")
        if before_build:
            results["before"] = {"rev": a.before, "commit": subprocess.run(
                ["git", "-C", root, "log", "-1", "--format=%h %s", a.before], stdout=subprocess.PIPE).stdout.decode().strip()}
        else:
            log("the earlier commit did not build (see %s): no comparison" % os.path.join(work, "before", "build.log"))

    log("capture core")
    results["core"] = corebench.run(root, build, 0.2 if a.quick else 0.5)

    receivers = [linebench.CatReceiver(bench, work)]
    if linebench.picocom_available():
        receivers.append(linebench.PicocomReceiver(bench, work))
    else:
        log("picocom is not installed: no peer terminal figures")
    for receiver in receivers:
        for baud in rates:
            r = linebench.measure(receiver, far, baud, a.seconds)
            log("%-8s %-8s in order %.6f, %s B/s, CPU %.2f s" % (r["receiver"], r["label"], r["ratio"],
                                                                    int(r["throughput"]), r["cpu"]))
            results["line"].append(r)

    with drive.Drive(root, build) as drv:
        tav = linebench.TavrenixReceiver(drv, work, os.path.join(build, "wineprefix"))
        results["idle"] = tav.idle_cpu()
        for baud in rates:
            r = linebench.measure(tav, far, baud, a.seconds)
            log("%-8s %-8s in order %.6f, %s B/s, CPU %.2f s, %d chunks" % (
                r["receiver"], r["label"], r["ratio"], int(r["throughput"]), r["cpu"], r.get("chunks", 0)))
            results["line"].append(r)
        tav.close()
        if before_build:
            old = linebench.TavrenixReceiver(drv, work, os.path.join(build, "wineprefix"),
                                             os.path.join(before_build, "Tavrenix.exe"), "Tavrenix before")
            r = linebench.measure(old, far, None, a.seconds)
            log("%-8s unpaced in order %.6f, %s B/s, CPU %.2f s, %d chunks" % (
                r["receiver"], r["ratio"], int(r["throughput"]), r["cpu"], r.get("chunks", 0)))
            results["line"].append(r)
            old.close()

        for timeout in latencybench.TIMEOUTS:
            r = latencybench.measure(drv, work, timeout, 20 if a.quick else a.bursts)
            log("latency at %d ms: median %s, worst %s" % (timeout, r.get("median_ms"), r.get("worst_ms")))
            results["latency"].append(r)

    results["chunk"] = chunkbench.measure(root, build, a.seconds, 20 if a.quick else a.bursts, before_build, log)
    results["machine"]["load_end"] = " ".join(open("/proc/loadavg").read().split()[:3])
    with open(os.path.join(work, "results.json"), "w") as f:
        json.dump(results, f, indent=1)
    write_report(results, docs)
    return 0


def write_report(results, docs):
    os.makedirs(docs, exist_ok=True)
    report.plot(os.path.join(docs, "throughput.png"), results)
    report.write_markdown(os.path.join(docs, "benchmarks.md"), results, "throughput.png")
    log("wrote %s and %s" % (os.path.join(docs, "benchmarks.md"), os.path.join(docs, "throughput.png")))


if __name__ == "__main__":
    sys.exit(main())
