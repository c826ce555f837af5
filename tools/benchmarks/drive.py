"""Client of tavdrive.exe: a running Tavrenix.exe's window worked by text commands."""
import os
import select
import subprocess
import time


class DriveError(RuntimeError):
    pass


def winpath(path):
    """A Unix path as the Wine programs reach it, through drive Z:."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


class Drive:
    def __init__(self, root, build, stderr=None):
        self.root = root
        self.build = build
        exe = os.path.join(build, "tools", "benchmarks", "tavdrive.exe")
        if not os.path.exists(exe):
            raise DriveError("%s is not built" % exe)
        self.proc = subprocess.Popen(
            [os.path.join(root, "tools", "bench", "wine-run.sh"), build, exe],
            stdin=subprocess.PIPE, stdout=subprocess.PIPE,
            stderr=stderr if stderr is not None else subprocess.DEVNULL, bufsize=0)
        self._pending = b""

    def _readline(self, timeout):
        end = time.time() + timeout
        while b"\n" not in self._pending:
            left = end - time.time()
            if left <= 0:
                raise DriveError("tavdrive did not answer within %.0f s" % timeout)
            ready, _, _ = select.select([self.proc.stdout], [], [], left)
            if ready:
                piece = os.read(self.proc.stdout.fileno(), 65536)
                if not piece:
                    raise DriveError("tavdrive ended")
                self._pending += piece
        line, self._pending = self._pending.split(b"\n", 1)
        return line.decode("latin-1").rstrip("\r")

    def ask(self, *fields, timeout=60):
        """(ok, rest of the answer)."""
        line = "\t".join(str(f) for f in fields) + "\n"
        self.proc.stdin.write(line.encode("latin-1"))
        self.proc.stdin.flush()
        answer = self._readline(timeout)
        ok = answer == "ok" or answer.startswith("ok ")
        return ok, answer[3:] if len(answer) > 2 else ""

    def call(self, *fields, timeout=60):
        ok, rest = self.ask(*fields, timeout=timeout)
        if not ok:
            raise DriveError("%s: %s" % (fields[0], rest))
        return rest

    def text(self, control_id):
        return bytes.fromhex(self.call("text", control_id))

    def pane(self):
        return self.text(1000)

    def close(self):
        if self.proc.poll() is None:
            try:
                self.ask("quit", timeout=15)
            except (DriveError, OSError):
                pass
        try:
            self.proc.wait(timeout=15)
        except subprocess.TimeoutExpired:
            self.proc.kill()
            self.proc.wait()

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()
