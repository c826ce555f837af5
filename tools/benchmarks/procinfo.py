"""Linux-side facts about the bench's Wine processes: which process runs a program, its CPU time
and memory as the kernel accounts them, the Wine server of a prefix."""
import os
import time

_TICK = os.sysconf("SC_CLK_TCK")


def _cmdline(pid):
    try:
        with open("/proc/%d/cmdline" % pid, "rb") as f:
            return f.read().replace(b"\0", b" ").decode("latin-1")
    except OSError:
        return ""


def _state(pid):
    try:
        with open("/proc/%d/stat" % pid) as f:
            return f.read().rsplit(")", 1)[1].split()[0]
    except OSError:
        return ""


def pids():
    return [int(d) for d in os.listdir("/proc") if d.isdigit()]


def find_process(marker, timeout=10.0):
    """The live process whose command line contains marker (a path unique to one run)."""
    end = time.time() + timeout
    while True:
        for pid in pids():
            if marker in _cmdline(pid) and _state(pid) not in ("Z", "X", ""):
                return pid
        if time.time() > end:
            return None
        time.sleep(0.1)


def alive(pid):
    return _state(pid) not in ("Z", "X", "")


def _stat_ticks(path):
    with open(path) as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return int(fields[11]) + int(fields[12])


def cpu_seconds(pid):
    """CPU time of the whole process: its live threads to the nanosecond (schedstat), plus what
    its ended threads used, which the kernel keeps only in clock ticks."""
    total_ticks = _stat_ticks("/proc/%d/stat" % pid)
    live_ticks = 0
    live_ns = 0
    for tid in os.listdir("/proc/%d/task" % pid):
        try:
            ticks = _stat_ticks("/proc/%d/task/%s/stat" % (pid, tid))
            with open("/proc/%d/task/%s/schedstat" % (pid, tid)) as f:
                ns = int(f.read().split()[0])
        except (OSError, ValueError, IndexError):
            continue
        live_ticks += ticks
        live_ns += ns
    return live_ns / 1e9 + max(0, total_ticks - live_ticks) / _TICK


def status_kib(pid, key):
    with open("/proc/%d/status" % pid) as f:
        for line in f:
            if line.startswith(key + ":"):
                return int(line.split()[1])
    return 0


def rss_bytes(pid):
    return status_kib(pid, "VmRSS") * 1024


def fd_count(pid):
    return len(os.listdir("/proc/%d/fd" % pid))


def wineserver(prefix):
    """The Wine server process of a prefix (found by the prefix in its environment)."""
    want = ("WINEPREFIX=" + os.path.realpath(prefix)).encode()
    for pid in pids():
        try:
            with open("/proc/%d/comm" % pid) as f:
                if not f.read().startswith("wineserver"):
                    continue
            with open("/proc/%d/environ" % pid, "rb") as f:
                env = f.read().split(b"\0")
        except OSError:
            continue
        if want in env:
            return pid
    return None
