"""Writes the sequence stream into the far end of a bench line, paced at a baud rate or as fast
as the receiving side takes it."""
import errno
import os
import select
import termios
import time
import tty

import seqstream

BITS_PER_BYTE = 10  # start bit, 8 data bits, stop bit


class Stalled(RuntimeError):
    def __init__(self, message, done=0):
        super().__init__(message)
        self.done = done  # bytes of the piece written before the line stopped


def drain(path):
    """Drops what waits to be read at a line end (bytes a previous reader left)."""
    fd = os.open(path, os.O_RDONLY | os.O_NOCTTY | os.O_NONBLOCK)
    try:
        while True:
            try:
                if not os.read(fd, 65536):
                    break
            except OSError as e:
                if e.errno in (errno.EAGAIN, errno.EIO):
                    break
                raise
    finally:
        os.close(fd)


def make_raw(path):
    """Raw, blocking reads of at least one byte: Wine leaves a port it used with VMIN 0, which
    makes a plain reader see end of file on a quiet line."""
    fd = os.open(path, os.O_RDWR | os.O_NOCTTY | os.O_NONBLOCK)
    try:
        tty.setraw(fd, termios.TCSANOW)
    finally:
        os.close(fd)


class Feed:
    def __init__(self, path):
        self.fd = os.open(path, os.O_WRONLY | os.O_NOCTTY | os.O_NONBLOCK)
        self.stream = seqstream.Stream()

    def close(self):
        os.close(self.fd)

    def _write(self, data, stall_s):
        """Bytes of data written; Stalled when the line stops taking them."""
        view = memoryview(data)
        done = 0
        while done < len(data):
            _, ready, _ = select.select([], [self.fd], [], stall_s)
            if not ready:
                raise Stalled("the line took no byte for %.0f s" % stall_s, done)
            try:
                done += os.write(self.fd, view[done:])
            except OSError as e:
                if e.errno == errno.EAGAIN:
                    continue
                raise
        return done

    def run(self, baud, seconds, stall_s=10.0, piece=4096):
        """Writes for seconds at baud (None: unpaced). Returns (bytes, start, end, stalled) with
        time.monotonic() times of the first write and the return of the last; stalled when the
        line took nothing for stall_s (what was taken counts as sent)."""
        per_s = baud / BITS_PER_BYTE if baud else None
        start = time.monotonic()
        written = 0
        try:
            while True:
                now = time.monotonic()
                elapsed = now - start
                if elapsed >= seconds:
                    break
                if per_s:
                    due = int(per_s * elapsed) + 1 - self.stream.sent
                    if due <= 0:
                        time.sleep(min(0.002, (self.stream.sent + 1 - per_s * elapsed) / per_s + 0.0001))
                        continue
                    data = self.stream.take(min(due, piece))
                else:
                    data = self.stream.take(piece)
                written += self._write(data, stall_s)
        except Stalled as e:
            return written + e.done, start, time.monotonic(), True
        return written, start, time.monotonic(), False

    def burst(self, data, stall_s=10.0):
        self._write(data, stall_s)
