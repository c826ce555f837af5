#!/usr/bin/env python3
"""Writes realistic RS-485 bus traffic into a serial device or pseudo-terminal.

A Modbus RTU master polls a few slaves (read holding registers, read input registers, write
single register, write multiple registers) and the slaves answer, with inter-frame gaps longer
than 3.5 characters and a pause of a few hundred milliseconds between poll cycles. Now and then a
device prints a text line, and now and then a burst of control codes crosses the line.

Usage: bus_simulator.py PATH [--baud 9600] [--seconds N] [--seed N] ...
Ends after --seconds, on SIGTERM or SIGINT, or when the device goes away (exit status 0).
"""
import argparse
import errno
import os
import random
import signal
import struct
import sys
import termios
import time
import tty

# ---- Modbus RTU ---------------------------------------------------------------------------------


def crc16_modbus(data):
    """CRC-16/MODBUS: reflected polynomial 0xA001, initial value 0xFFFF."""
    crc = 0xFFFF
    for byte in data:
        crc ^= byte
        for _ in range(8):
            crc = (crc >> 1) ^ 0xA001 if crc & 1 else crc >> 1
    return crc


def frame(address, function, payload=b""):
    """An RTU frame: address, function, payload, CRC low byte first."""
    body = bytes((address, function)) + payload
    return body + struct.pack("<H", crc16_modbus(body))


class FrameError(ValueError):
    pass


def parse_frame(data):
    """(address, function, payload) of one whole RTU frame; FrameError when it is not one."""
    if len(data) < 4:
        raise FrameError("frame of %d bytes is too short" % len(data))
    (got,) = struct.unpack("<H", data[-2:])
    want = crc16_modbus(data[:-2])
    if got != want:
        raise FrameError("CRC %04X, expected %04X" % (got, want))
    return data[0], data[1], bytes(data[2:-2])


def request_length(data):
    """Length of the request frame at the start of data, or None when it cannot be told yet."""
    if len(data) < 2:
        return None
    function = data[1]
    if function in (1, 2, 3, 4, 5, 6):
        return 8
    if function in (15, 16):
        return 9 + data[6] if len(data) >= 7 else None
    raise FrameError("unknown request function %d" % function)


def response_length(data):
    """Length of the response frame at the start of data, or None when it cannot be told yet."""
    if len(data) < 3:
        return None
    function = data[1]
    if function & 0x80:
        return 5
    if function in (1, 2, 3, 4):
        return 5 + data[2]
    if function in (5, 6, 15, 16):
        return 8
    raise FrameError("unknown response function %d" % function)


def read_request(address, function, start, count):
    return frame(address, function, struct.pack(">HH", start, count))


def write_single_request(address, register, value):
    return frame(address, 6, struct.pack(">HH", register, value & 0xFFFF))


def write_multiple_request(address, start, values):
    payload = struct.pack(">HHB", start, len(values), 2 * len(values))
    payload += b"".join(struct.pack(">H", v & 0xFFFF) for v in values)
    return frame(address, 16, payload)


class Slave:
    """A device on the bus with a bank of registers; answers requests as a real slave does."""

    def __init__(self, address, name, registers, rng):
        self.address = address
        self.name = name
        self.holding = dict(registers)
        self.rng = rng

    def drift(self):
        """Measured values move a little between polls."""
        for reg in list(self.holding):
            if reg < 4:
                self.holding[reg] = max(0, min(0xFFFF, self.holding[reg] + self.rng.randint(-3, 3)))

    def answer(self, request):
        """The response frame to a request frame, or None when the slave stays silent."""
        address, function, payload = parse_frame(request)
        if address != self.address:
            return None
        if function in (3, 4):
            start, count = struct.unpack(">HH", payload[:4])
            if any(start + i not in self.holding for i in range(count)):
                return frame(address, function | 0x80, bytes((2,)))  # illegal data address
            values = b"".join(struct.pack(">H", self.holding[start + i]) for i in range(count))
            return frame(address, function, bytes((len(values),)) + values)
        if function == 6:
            register, value = struct.unpack(">HH", payload[:4])
            if register not in self.holding:
                return frame(address, function | 0x80, bytes((2,)))
            self.holding[register] = value
            return request  # the echo
        if function == 16:
            start, count = struct.unpack(">HH", payload[:4])
            values = struct.unpack(">%dH" % count, payload[5:5 + 2 * count])
            if any(start + i not in self.holding for i in range(count)):
                return frame(address, function | 0x80, bytes((2,)))
            for i, v in enumerate(values):
                self.holding[start + i] = v
            return frame(address, 16, struct.pack(">HH", start, count))
        return frame(address, function | 0x80, bytes((1,)))  # illegal function


def make_slaves(addresses, rng):
    kinds = [
        ("temperature controller", {0: 215, 1: 220, 2: 1, 3: 0, 4: 250, 5: 180, 6: 0, 7: 0}),
        ("drive", {0: 1480, 1: 73, 2: 4000, 3: 0, 4: 1500, 5: 30, 6: 30, 7: 1, 8: 0, 9: 0}),
        ("energy meter", {0: 2301, 1: 2298, 2: 2305, 3: 121, 4: 0, 5: 5000}),
    ]
    return [Slave(a, kinds[i % len(kinds)][0], kinds[i % len(kinds)][1], rng) for i, a in enumerate(addresses)]


# ---- traffic ---------------------------------------------------------------------------------

TEXT_LINES = (
    "ALARM 3: tank level high\r\n",
    "Pump 2: pressure 3.41 bar\r\n",
    "$STAT,P2,3.41,OK\r\n",
    "DOOR OPEN ZONE 4\r\n",
    "T1=21.5C T2=22.0C\r\n",
)


class Traffic:
    """Yields (bytes, gap after them in seconds) for the bus, cycle after cycle."""

    def __init__(self, slaves, rng, char_time, cycle_pause=(0.3, 0.6), text_every=7, burst_every=11,
                 missing_address=9):
        self.slaves = slaves
        self.rng = rng
        self.char_time = char_time
        self.cycle_pause = cycle_pause
        self.text_every = text_every
        self.burst_every = burst_every
        self.missing_address = missing_address
        self.cycle = 0

    def gap(self, low, high):
        """A silence of low..high seconds, never shorter than 3.5 characters."""
        return max(3.5 * self.char_time, self.rng.uniform(low, high))

    def pause(self):
        return self.rng.uniform(*self.cycle_pause)

    def poll(self, slave):
        """One request of the master and the slave's reply (empty when it stays silent)."""
        choice = self.rng.random()
        if choice < 0.55:
            req = read_request(slave.address, 3, 0, self.rng.randint(2, 6))
        elif choice < 0.7:
            req = read_request(slave.address, 4, 0, 2)
        elif choice < 0.85:
            req = write_single_request(slave.address, 4, self.rng.randint(100, 300))
        elif choice < 0.95:
            req = write_multiple_request(slave.address, 5, [self.rng.randint(0, 50) for _ in range(2)])
        else:
            req = read_request(slave.address, 3, 0x40, 2)  # out of range: exception reply
        slave.drift()
        return req, slave.answer(req) or b""

    def events(self):
        while True:
            self.cycle += 1
            for slave in self.slaves:
                req, reply = self.poll(slave)
                yield req, self.gap(0.004, 0.012)   # slave's turnaround
                yield reply, self.gap(0.010, 0.030)  # master's gap before the next request
            if self.missing_address and self.cycle % 5 == 0:
                # a slave that does not answer: the master waits for its response time-out
                yield read_request(self.missing_address, 3, 0, 1), 0.06
            yield b"", self.pause()
            if self.text_every and self.cycle % self.text_every == 0:
                yield self.rng.choice(TEXT_LINES).encode("ascii"), self.pause()
            if self.burst_every and self.cycle % self.burst_every == 0:
                n = self.rng.randint(6, 16)
                yield bytes(self.rng.randrange(0, 0x20) for _ in range(n)), self.pause()


# ---- output ----------------------------------------------------------------------------------


class Stop(Exception):
    pass


def open_line(path):
    fd = os.open(path, os.O_WRONLY | os.O_NOCTTY | os.O_NONBLOCK)
    if os.isatty(fd):
        tty.setraw(fd, termios.TCSANOW)  # no output processing: bytes go out unchanged
    return fd


def write_frame(fd, data):
    """Writes the bytes; those that do not fit because nobody reads are dropped, like on a bus.
    Returns the number written; Stop when the device has gone away."""
    written = 0
    while written < len(data):
        try:
            written += os.write(fd, data[written:])
        except BlockingIOError:
            return written
        except OSError as e:
            if e.errno in (errno.EIO, errno.ENXIO, errno.EBADF, errno.EPIPE, errno.ENODEV):
                raise Stop("the line has gone away")
            raise
    return written


def run(args):
    rng = random.Random(args.seed)
    char_time = args.bits_per_char / float(args.baud)
    slaves = make_slaves(args.slaves, rng)
    traffic = Traffic(slaves, rng, char_time, (args.pause_min / 1000.0, args.pause_max / 1000.0),
                      args.text_every, args.burst_every, args.missing)
    try:
        fd = open_line(args.path)
    except OSError as e:
        print("bus_simulator: cannot open %s: %s" % (args.path, e.strerror), file=sys.stderr)
        return 1
    deadline = time.monotonic() + args.seconds if args.seconds else None
    try:
        for data, gap in traffic.events():
            if deadline and time.monotonic() >= deadline:
                break
            if data:
                write_frame(fd, data)
                if args.verbose:
                    print("%.3f %s" % (time.monotonic(), data.hex(" ")), flush=True)
            # the frame's own transmission time, then the silence after it
            time.sleep((len(data) * char_time if args.pacing else 0) + gap)
    except Stop as e:
        if args.verbose:
            print("bus_simulator: %s" % e, file=sys.stderr)
    finally:
        os.close(fd)
    return 0


def parse_args(argv):
    ap = argparse.ArgumentParser(description="Write simulated RS-485 traffic (Modbus RTU and more) into a device")
    ap.add_argument("path", help="serial device or pty to write to")
    ap.add_argument("--baud", type=int, default=9600, help="line speed for pacing (default 9600)")
    ap.add_argument("--bits-per-char", type=int, default=10, help="bits per character incl. start/stop (default 10)")
    ap.add_argument("--no-pacing", dest="pacing", action="store_false",
                    help="do not wait for each frame's transmission time")
    ap.add_argument("--seconds", type=float, default=0, help="stop after this many seconds (default: run until stopped)")
    ap.add_argument("--seed", type=int, default=None, help="seed for repeatable traffic")
    ap.add_argument("--slaves", default="1,2,17", help="slave addresses, comma-separated (default 1,2,17)")
    ap.add_argument("--missing", type=int, default=9, help="address polled every 5th cycle that never answers (0: none)")
    ap.add_argument("--pause-min", type=int, default=300, help="shortest pause between poll cycles in ms")
    ap.add_argument("--pause-max", type=int, default=600, help="longest pause between poll cycles in ms")
    ap.add_argument("--text-every", type=int, default=7, help="a text line after every Nth cycle (0: never)")
    ap.add_argument("--burst-every", type=int, default=11, help="a burst of control codes after every Nth cycle (0: never)")
    ap.add_argument("-v", "--verbose", action="store_true", help="print every frame in hex")
    args = ap.parse_args(argv)
    try:
        args.slaves = [int(a) for a in args.slaves.split(",") if a.strip()]
    except ValueError:
        ap.error("--slaves takes numbers separated by commas")
    if not args.slaves or any(not 1 <= a <= 247 for a in args.slaves):
        ap.error("slave addresses are 1..247")
    if args.baud <= 0 or args.bits_per_char <= 0:
        ap.error("--baud and --bits-per-char must be positive")
    if args.pause_min < 0 or args.pause_max < args.pause_min:
        ap.error("need 0 <= --pause-min <= --pause-max")
    return args


def main(argv):
    def stop(signum, frame_):
        raise SystemExit(0)
    for sig in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP):
        signal.signal(sig, stop)
    return run(parse_args(argv))


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
