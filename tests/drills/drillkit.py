"""Shared parts of the drills that act on the Linux side of the bench: the running program
worked through tavdrive, the line fed from the far end, the program's process as the kernel
sees it. A drill fails by raising Failure; its message says what was seen."""
import os
import random
import subprocess
import sys
import threading
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
sys.path.insert(0, os.path.join(ROOT, "tools", "benchmarks"))

import capturelog  # noqa: E402
import drive  # noqa: E402
import linefeed  # noqa: E402
import procinfo  # noqa: E402
import seqstream  # noqa: E402

COMM_ON, COMM_OFF, LOG_ON, LOG_OFF, ALL_HEX = 40011, 40012, 40009, 40010, 40018
SKIPPED = 77  # CTest's SKIP_RETURN_CODE for the drills


class Failure(AssertionError):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


def long_form():
    """The long drills (an hour of soak, a thousand switches) when TAV_DRILL_LONG is set."""
    return os.environ.get("TAV_DRILL_LONG", "") not in ("", "0")


def say(message):
    print(message, flush=True)


class Bench:
    """The build's bench (started by the CTest fixture): its folder and its line COM5<->COM6."""

    def __init__(self, build):
        self.build = os.path.abspath(build)
        self.dir = os.path.join(self.build, "bench")
        self.prefix = os.path.join(self.build, "wineprefix")

    def port(self, n):
        return os.path.join(self.dir, "tty%d" % n)

    def line_pids(self, first=5):
        with open(os.path.join(self.dir, "line%d.pid" % first)) as f:
            return [int(p) for p in f.read().split()]

    def restart_line(self, a=5, b=6):
        subprocess.run([os.path.join(ROOT, "tools", "bench", "line.sh"), self.build, "start", str(a), str(b)],
                       check=True, stdin=subprocess.DEVNULL, timeout=60)

    def scratch(self, name):
        folder = os.path.join(self.build, "drills", "%s-%d" % (name, os.getpid()))
        os.makedirs(folder, exist_ok=True)
        for f in os.listdir(folder):
            path = os.path.join(folder, f)
            if os.path.isfile(path) or os.path.islink(path):
                os.remove(path)
        return folder


class Program:
    """Tavrenix.exe started in a scratch folder with settings for COM5, worked through tavdrive."""

    def __init__(self, bench, name, timeout_ms=100, log_name="", display_format=3):
        self.bench = bench
        self.folder = bench.scratch(name)
        self.log = os.path.join(self.folder, log_name) if log_name else ""
        self.drive = drive.Drive(ROOT, bench.build)
        self.drive.call("settings", drive.winpath(self.folder), "COM5", timeout_ms,
                        drive.winpath(self.log) if self.log else "", display_format)
        self.drive.call("start", drive.winpath(self.folder))
        self.pid = procinfo.find_process(drive.winpath(self.folder) + "\\Tavrenix.exe")
        check(self.pid, "the process of Tavrenix.exe was not found")

    def command(self, command_id):
        self.drive.call("command", command_id)

    def entries(self):
        return capturelog.parse(self.drive.pane())

    def pane_texts(self):
        return [e.text for e in self.entries()]

    def log_entries(self):
        return capturelog.parse(capturelog.read(self.log))

    def wait_pane(self, predicate, seconds):
        """Polls the pane until predicate(texts) holds; (held, texts, seconds taken)."""
        start = time.monotonic()
        while True:
            texts = self.pane_texts()
            if predicate(texts):
                return True, texts, time.monotonic() - start
            if time.monotonic() - start > seconds:
                return False, texts, time.monotonic() - start
            time.sleep(0.01)

    def menu_checked(self, command_id):
        state = int(self.drive.call("menu", command_id))
        return state != -1 and bool(state & 0x8)  # MF_CHECKED

    def alive(self):
        return procinfo.alive(self.pid) and self.drive.call("running") == "1"

    def cpu(self):
        return procinfo.cpu_seconds(self.pid)

    def handles(self):
        return int(self.drive.call("handles"))

    def memory(self):
        working_set, private = (int(x) for x in self.drive.call("memory").split())
        return working_set, private

    def heap(self):
        """Bytes in use in (the program's own heap, the system libraries' heaps)."""
        own, others = (int(x) for x in self.drive.call("heap").split())
        return own, others

    def gui_objects(self):
        """(GDI objects, USER objects), or None where the system does not count them."""
        try:
            gdi, user = (int(x) for x in self.drive.call("gui").split())
        except drive.DriveError:
            return None
        return gdi, user

    def close(self):
        try:
            self.drive.call("kill")
        finally:
            self.drive.close()


def cpu_flat(program, seconds=5.0, most=0.25):
    """CPU seconds the program used over seconds; a Failure when more than most (a spinning thread
    would use about the whole time)."""
    c0 = program.cpu()
    time.sleep(seconds)
    used = program.cpu() - c0
    check(used <= most, "the program used %.2f s of CPU in %.0f s with nothing to do" % (used, seconds))
    return used


class Writer(threading.Thread):
    """Feeds the sequence stream into a line end until stopped or the line goes away, and keeps
    (first offset, end offset, time before, time after) of every piece it wrote. Steady: paced at
    the baud rate in pieces every few milliseconds, so the line is never quiet. Mixed: stretches of
    steady traffic and stretches of bursts with quiet gaps between them, at random."""

    def __init__(self, path, baud, mixed=False, piece_s=0.005):
        super().__init__(daemon=True)
        self.fd = os.open(path, os.O_WRONLY | os.O_NOCTTY)
        # Short records: every piece of a few dozen bytes holds a sequence number.
        self.stream = seqstream.Stream(seqstream.SHORT)
        self.per_s = baud / linefeed.BITS_PER_BYTE
        self.mixed = mixed
        self.piece_s = piece_s
        self.pieces = []
        self.error = None
        self._halt = threading.Event()
        self._rng = random.Random(random.random())

    def _write(self, data):
        offset = self.stream.sent - len(data)
        before = time.monotonic()
        view = memoryview(data)
        while view:
            view = view[os.write(self.fd, view):]
        self.pieces.append((offset, offset + len(data), before, time.monotonic()))

    def _steady(self, seconds):
        start = time.monotonic()
        base = self.stream.sent
        while not self._halt.is_set() and time.monotonic() - start < seconds:
            due = int(self.per_s * (time.monotonic() - start)) - (self.stream.sent - base)
            if due > 0:
                self._write(self.stream.take(due))
            time.sleep(self.piece_s)

    def _bursts(self, seconds):
        start = time.monotonic()
        while not self._halt.is_set() and time.monotonic() - start < seconds:
            self._write(self.stream.take(self._rng.randint(20, 200)))
            self._halt.wait(self._rng.uniform(0.03, 0.12))

    def run(self):
        try:
            if not self.mixed:
                self._steady(float("inf"))
            while not self._halt.is_set():
                self._steady(self._rng.uniform(0.2, 1.0))
                self._bursts(self._rng.uniform(0.3, 1.0))
        except OSError as e:
            self.error = e
        finally:
            os.close(self.fd)

    def stop(self):
        self._halt.set()
        self.join(10)

    def sent(self):
        return self.stream.sent

    def check(self, chunks):
        """What the receiver got of the stream, from the chunks it got it in."""
        return seqstream.Check(chunks, self.sent(), layout=seqstream.SHORT, chunks=True)

    def written_between(self, t0, t1):
        """Stream offsets (start, end) of the pieces written wholly within t0..t1."""
        inside = [p for p in self.pieces if p[2] >= t0 and p[3] <= t1]
        if not inside:
            return None
        return inside[0][0], inside[-1][1]


def run_drill(main):
    """Runs main(bench, args) with the build folder as first argument; exit status 0, 1 or 77."""
    if len(sys.argv) < 2:
        print("usage: %s BUILD [CASE]" % os.path.basename(sys.argv[0]))
        return 2
    bench = Bench(sys.argv[1])
    seed = int(os.environ.get("TAV_DRILL_SEED", "0")) or random.randrange(1, 1 << 30)
    random.seed(seed)
    say("%s %s (TAV_DRILL_SEED=%d%s)" % (os.path.basename(sys.argv[0]), " ".join(sys.argv[2:]), seed,
                                         ", long form" if long_form() else ""))
    try:
        result = main(bench, sys.argv[2:])
    except Failure as e:
        say("FAILED: %s" % e)
        return 1
    if result == SKIPPED:
        return SKIPPED
    say("passed")
    return 0
