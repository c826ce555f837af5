"""Line throughput: the sequence stream through a pty pair into a receiver, per baud rate.

Receivers: the running Tavrenix.exe (Comm on, "All Hex Format", logging on; its log decoded),
a plain `cat` of the line into a file (the floor), and picocom with --logfile (a terminal from
Debian). CPU time is what the kernel accounts to the receiver's own process.
"""
import os
import shutil
import signal
import subprocess
import time

import capturelog
import drive
import linefeed
import procinfo
import seqstream

RATES = [1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200, 921600, None]
MIB = 1024.0 * 1024.0


def rate_label(baud):
    return str(baud) if baud else "unpaced"


class Result(dict):
    pass


class FileReceiver:
    """A Linux program that copies the line into a file."""
    name = ""

    def __init__(self, bench, workdir):
        self.port = os.path.realpath(os.path.join(bench, "tty5"))
        self.workdir = workdir
        self.proc = None
        self.pid = None
        self.out = None

    def command(self, out):
        raise NotImplementedError

    def begin(self, label):
        linefeed.drain(self.port)
        linefeed.make_raw(self.port)
        self.out = os.path.join(self.workdir, "%s-%s.bin" % (self.name, label))
        if os.path.exists(self.out):
            os.remove(self.out)
        self.proc = subprocess.Popen(self.command(self.out), stdin=subprocess.DEVNULL,
                                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                     start_new_session=True)
        self.pid = self.find_pid()
        deadline = time.time() + 5
        while not self.ready() and time.time() < deadline:
            time.sleep(0.02)

    def find_pid(self):
        return self.proc.pid

    def ready(self):
        # The line is open once the program holds it (or its log file exists).
        try:
            return any(os.path.realpath(os.path.join("/proc/%d/fd" % self.pid, fd)) == self.port
                       for fd in os.listdir("/proc/%d/fd" % self.pid))
        except OSError:
            return False

    def progress(self):
        try:
            return os.path.getsize(self.out)
        except OSError:
            return 0

    def cpu(self):
        return procinfo.cpu_seconds(self.pid)

    def server_cpu(self):
        return None

    def received(self):
        return capturelog.read(self.out)

    def chunks(self):
        return None

    def end(self):
        try:
            os.killpg(self.proc.pid, signal.SIGTERM)
        except ProcessLookupError:
            pass
        try:
            self.proc.wait(timeout=5)
        except subprocess.TimeoutExpired:
            os.killpg(self.proc.pid, signal.SIGKILL)
            self.proc.wait()
        os.remove(self.out)


class CatReceiver(FileReceiver):
    name = "cat"

    def command(self, out):
        return ["sh", "-c", 'exec cat "$0" > "$1"', self.port, out]


class PicocomReceiver(FileReceiver):
    """picocom needs a terminal on its standard input: script(1) gives it one."""
    name = "picocom"

    def command(self, out):
        inner = "exec picocom -q -b 115200 --noreset --nolock --logfile '%s' '%s'" % (out, self.port)
        return ["script", "-q", "-e", "-c", inner, "/dev/null"]

    def find_pid(self):
        deadline = time.time() + 5
        while time.time() < deadline:
            for pid in procinfo.pids():
                try:
                    with open("/proc/%d/stat" % pid) as f:
                        stat = f.read()
                except OSError:
                    continue
                if "(picocom)" in stat and int(stat.rsplit(")", 1)[1].split()[1]) == self.proc.pid:
                    return pid
            time.sleep(0.02)
        raise RuntimeError("picocom did not start")

    def end(self):
        try:
            os.kill(self.pid, signal.SIGTERM)
        except ProcessLookupError:
            pass
        super().end()


class TavrenixReceiver:
    """The running Tavrenix.exe with Comm on, All Hex format and its log."""
    name = "Tavrenix"

    def __init__(self, drv, workdir, prefix, program=None, name="Tavrenix"):
        self.drive = drv
        self.name = name
        self.folder = os.path.join(workdir, "tavrenix-line-" + name)
        os.makedirs(self.folder, exist_ok=True)
        self.log = os.path.join(self.folder, "line.log")
        if os.path.exists(self.log):
            os.remove(self.log)
        drv.call("settings", drive.winpath(self.folder), "COM5", 100, drive.winpath(self.log), 3)
        drv.call("start", drive.winpath(self.folder), *([drive.winpath(program)] if program else []))
        self.pid = procinfo.find_process(drive.winpath(self.folder) + "\\Tavrenix.exe")
        self.server = procinfo.wineserver(prefix)
        for command in (40018, 40009, 40011):  # All Hex Format, Log On, Comm On
            drv.call("command", command)
        pane = drv.pane()
        if b"Loggin to (" not in pane or b"] On" not in pane:
            raise RuntimeError("Tavrenix did not switch logging and Comm on: %r" % pane)
        self.offset = 0

    def idle_cpu(self, seconds=5.0):
        """CPU share of the program and of the Wine server with Comm on and a quiet line."""
        time.sleep(1.0)
        c0, s0, t0 = self.cpu(), self.server_cpu(), time.monotonic()
        time.sleep(seconds)
        dt = time.monotonic() - t0
        return (self.cpu() - c0) / dt, (self.server_cpu() - s0) / dt

    def begin(self, label):
        self.offset = self.progress()

    def progress(self):
        try:
            return os.path.getsize(self.log)
        except OSError:
            return 0

    def cpu(self):
        return procinfo.cpu_seconds(self.pid)

    def server_cpu(self):
        return procinfo.cpu_seconds(self.server) if self.server else None

    def entries(self):
        return capturelog.parse(capturelog.read(self.log)[self.offset:])

    def received(self):
        return b"".join(capturelog.data_chunks(self.entries()))

    def chunks(self):
        return [len(c) for c in capturelog.data_chunks(self.entries())]

    def end(self):
        pass

    def close(self):
        for command in (40012, 40010):  # Comm Off, Log Off
            self.drive.call("command", command)
        self.drive.call("kill")


def measure(receiver, far_port, baud, seconds, settle=1.0):
    label = rate_label(baud)
    receiver.begin(label)
    try:
        cpu0, srv0 = receiver.cpu(), receiver.server_cpu()
        feed = linefeed.Feed(far_port)
        try:
            sent, t0, t1, stalled = feed.run(baud, seconds)
        finally:
            feed.close()
        last, last_t = receiver.progress(), t1
        cpu_last, srv_last = receiver.cpu(), receiver.server_cpu()
        while True:
            time.sleep(0.05)
            now = time.monotonic()
            p = receiver.progress()
            if p != last:
                last, last_t = p, now
                cpu_last, srv_last = receiver.cpu(), receiver.server_cpu()
            elif now - last_t > settle or now - t1 > 300:
                break
        data = receiver.received()
        chunks = receiver.chunks()
    finally:
        receiver.end()
    check = seqstream.Check(data, sent)
    r = Result(receiver=receiver.name, baud=baud, label=label, sent=sent, stalled=stalled, received=len(data),
               in_order=check.in_order, lost=check.lost, out_of_place=check.out_of_place,
               gaps=len(check.gaps), ratio=check.in_order / sent if sent else 0.0,
               seconds=last_t - t0, cpu=cpu_last - cpu0)
    r["throughput"] = check.in_order / r["seconds"] if r["seconds"] > 0 else 0.0
    r["cpu_per_mib"] = r["cpu"] / (check.in_order / MIB) if check.in_order else None
    if srv0 is not None:
        r["server_cpu"] = srv_last - srv0
        r["server_cpu_per_mib"] = r["server_cpu"] / (check.in_order / MIB) if check.in_order else None
    if chunks is not None:
        r["chunks"] = len(chunks)
        r["chunk_max"] = max(chunks) if chunks else 0
        r["chunk_mean"] = sum(chunks) / len(chunks) if chunks else 0.0
    return r


def picocom_available():
    return shutil.which("picocom") is not None and shutil.which("script") is not None
