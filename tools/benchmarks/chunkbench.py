"""Runs tavchunkbench.exe (the monitor window's chunk profile, the receiver alone, idle shares,
pane updates, the receiver's own latency) and optionally builds an earlier commit to compare."""
import json
import os
import shutil
import statistics
import subprocess


def _exe(build):
    return os.path.join(build, "tools", "benchmarks", "tavchunkbench.exe")


def run(root, bench_build, program_build, *args, timeout=900):
    """One mode of program_build's tavchunkbench, in the bench (prefix, lines) of bench_build."""
    out = subprocess.run([os.path.join(root, "tools", "bench", "wine-run.sh"), bench_build, _exe(program_build)]
                         + [str(a) for a in args], stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                         stderr=subprocess.DEVNULL, timeout=timeout).stdout.decode("latin-1")
    return [json.loads(line) for line in out.splitlines() if line.startswith("{")]


def summarize_latency(rows):
    out = []
    for r in rows:
        f = sorted(r["figures"])
        if f:
            out.append({"timeout_ms": r["timeout_ms"], "count": len(f), "median_excess_ms": statistics.median(f) - r["timeout_ms"],
                        "worst_excess_ms": f[-1] - r["timeout_ms"]})
    return out


def measure(root, build, seconds, bursts, before_build=None, log=print):
    res = {}
    first = lambda rows: rows[0] if rows else None  # noqa: E731
    log("chunk profile: the window on unpaced traffic")
    res["window"] = first(run(root, build, build, "window", seconds))
    log("chunk profile: the window on isolated bursts")
    res["bursts"] = first(run(root, build, build, "bursts", bursts))
    log("chunk profile: the receiver alone")
    res["receiver"] = first(run(root, build, build, "receiver", seconds))
    log("CPU per MiB at 115200 baud: the window, the receiver alone")
    res["window_115200"] = first(run(root, build, build, "window", seconds, 115200))
    res["receiver_115200"] = first(run(root, build, build, "receiver", seconds, 115200))
    log("idle shares")
    res["idle"] = first(run(root, build, build, "idle", seconds))
    log("pane updates")
    res["pane"] = run(root, build, build, "pane", 200)
    log("the receiver's own latency")
    res["latency"] = summarize_latency(run(root, build, build, "latency", bursts, 37))
    if before_build and os.path.exists(_exe(before_build)):
        log("chunk profile of the earlier commit")
        res["before_window"] = first(run(root, build, before_build, "window", seconds))
    return res


def build_before(root, rev, where, log=print, arch="i686"):
    """The program and tavchunkbench of an earlier commit, built for arch in where/; its path or None."""
    src, build = os.path.join(where, "src"), os.path.join(where, "build")
    shutil.rmtree(src, ignore_errors=True)
    os.makedirs(src)
    archive = subprocess.run(["git", "-C", root, "archive", rev], stdout=subprocess.PIPE, check=True).stdout
    subprocess.run(["tar", "-x", "-C", src], input=archive, check=True)
    env = dict(os.environ)
    launcher = []
    if shutil.which("ccache"):
        launcher = ["-DCMAKE_CXX_COMPILER_LAUNCHER=ccache", "-DCMAKE_C_COMPILER_LAUNCHER=ccache"]
    log("building %s into %s" % (rev, build))
    with open(os.path.join(where, "build.log"), "w") as logf:
        ok = subprocess.run(["cmake", "-S", src, "-B", build,
                             "-DCMAKE_TOOLCHAIN_FILE=%s/tools/cmake/%s-w64-mingw32.cmake" % (src, arch)] + launcher,
                            stdout=logf, stderr=subprocess.STDOUT, env=env).returncode == 0
        ok = ok and subprocess.run(["cmake", "--build", build, "-j2", "--target", "Tavrenix", "tavchunkbench"],
                                   stdout=logf, stderr=subprocess.STDOUT, env=env).returncode == 0
    return build if ok else None
