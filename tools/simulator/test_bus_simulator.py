#!/usr/bin/env python3
"""Tests of the bus simulator: CRC, frames, slave replies, the traffic it generates and its run
on a real pseudo-terminal (what it writes arrives unchanged, with pauses; it stops cleanly)."""
import os
import random
import select
import signal
import subprocess
import sys
import time
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import bus_simulator as sim  # noqa: E402

SIMULATOR = os.path.join(HERE, "bus_simulator.py")


class Crc(unittest.TestCase):
    def test_known_modbus_frames(self):
        # request frames whose CRC bytes are published with the protocol's examples
        for hexframe in ("01 03 00 00 00 0A C5 CD", "11 03 00 6B 00 03 76 87", "01 06 00 01 00 03 98 0B",
                         "01 03 00 00 00 01 84 0A"):
            data = bytes.fromhex(hexframe)
            self.assertEqual(sim.crc16_modbus(data[:-2]), data[-2] | data[-1] << 8, hexframe)

    def test_frame_appends_crc_low_byte_first(self):
        self.assertEqual(sim.frame(0x11, 3, bytes.fromhex("006B0003")), bytes.fromhex("1103006B00037687"))
        self.assertEqual(sim.crc16_modbus(b""), 0xFFFF)
        # a whole frame, CRC included, checks to zero
        self.assertEqual(sim.crc16_modbus(sim.frame(7, 16, b"\x00\x01\x00\x01\x02\xAB\xCD")), 0)

    def test_parse_rejects_damaged_and_short_frames(self):
        good = sim.frame(2, 3, b"\x00\x00\x00\x02")
        self.assertEqual(sim.parse_frame(good), (2, 3, b"\x00\x00\x00\x02"))
        for i in range(len(good)):
            bad = bytearray(good)
            bad[i] ^= 0x10
            with self.assertRaises(sim.FrameError):
                sim.parse_frame(bytes(bad))
        with self.assertRaises(sim.FrameError):
            sim.parse_frame(b"\x01\x03\x00")


class RequestReply(unittest.TestCase):
    def setUp(self):
        self.slaves = sim.make_slaves([1, 2, 17], random.Random(5))

    def test_read_holding_registers(self):
        for slave in self.slaves:
            req = sim.read_request(slave.address, 3, 0, 3)
            self.assertEqual(sim.request_length(req), len(req))
            reply = slave.answer(req)
            self.assertEqual(sim.response_length(reply), len(reply))
            address, function, payload = sim.parse_frame(reply)
            self.assertEqual((address, function, payload[0]), (slave.address, 3, 6))
            values = [int.from_bytes(payload[1 + 2 * i:3 + 2 * i], "big") for i in range(3)]
            self.assertEqual(values, [slave.holding[i] for i in range(3)])

    def test_write_single_register_is_echoed_and_stored(self):
        slave = self.slaves[0]
        req = sim.write_single_request(slave.address, 4, 0x1234)
        self.assertEqual(slave.answer(req), req)
        self.assertEqual(slave.holding[4], 0x1234)

    def test_write_multiple_registers(self):
        slave = self.slaves[1]
        req = sim.write_multiple_request(slave.address, 5, [7, 8])
        self.assertEqual(sim.request_length(req), len(req))
        address, function, payload = sim.parse_frame(slave.answer(req))
        self.assertEqual((address, function, payload), (slave.address, 16, b"\x00\x05\x00\x02"))
        self.assertEqual((slave.holding[5], slave.holding[6]), (7, 8))

    def test_exceptions_and_other_addresses(self):
        slave = self.slaves[2]
        reply = slave.answer(sim.read_request(slave.address, 3, 0x40, 2))
        self.assertEqual(sim.parse_frame(reply), (slave.address, 0x83, b"\x02"))
        self.assertEqual(sim.response_length(reply), 5)
        self.assertEqual(sim.parse_frame(slave.answer(sim.frame(slave.address, 8, b"\x00\x00")))[1], 0x88)
        self.assertIsNone(slave.answer(sim.read_request(99, 3, 0, 1)))


def classify(frames, slaves, missing):
    """Walks the written frames: request and reply pairs, text lines and control bursts.
    Returns counts; raises AssertionError on anything else."""
    counts = {"pairs": 0, "unanswered": 0, "text": 0, "burst": 0}
    addresses = set(slaves)
    i = 0
    while i < len(frames):
        data = frames[i]
        if data.endswith(b"\r\n") and all(32 <= b < 127 for b in data[:-2]):
            counts["text"] += 1
            i += 1
            continue
        if all(b < 0x20 for b in data):
            try:
                sim.parse_frame(data)
            except sim.FrameError:
                counts["burst"] += 1
                i += 1
                continue
        address, function, _ = sim.parse_frame(data)
        if sim.request_length(data) != len(data):
            raise AssertionError("request %s has the wrong length" % data.hex())
        if address == missing:
            counts["unanswered"] += 1
            i += 1
            continue
        if address not in addresses or i + 1 >= len(frames):
            raise AssertionError("request %s without a reply" % data.hex())
        reply = frames[i + 1]
        r_address, r_function, _ = sim.parse_frame(reply)
        if r_address != address or r_function & 0x7F != function or sim.response_length(reply) != len(reply):
            raise AssertionError("reply %s does not answer %s" % (reply.hex(), data.hex()))
        counts["pairs"] += 1
        i += 2
    return counts


class GeneratedTraffic(unittest.TestCase):
    def test_cycles_pair_requests_with_replies_and_keep_their_gaps(self):
        rng = random.Random(11)
        char_time = 10 / 9600.0
        traffic = sim.Traffic(sim.make_slaves([1, 2, 17], rng), rng, char_time, (0.3, 0.6), 3, 4, 9)
        frames, gaps = [], []
        for data, gap in traffic.events():
            if traffic.cycle > 24:
                break
            if data:
                frames.append(data)
                gaps.append(gap)
            else:
                self.assertGreaterEqual(gap, 0.3)  # the pause between cycles
        self.assertGreaterEqual(min(gaps), 3.5 * char_time)
        counts = classify(frames, [1, 2, 17], 9)
        self.assertGreaterEqual(counts["pairs"], 3 * 24)
        self.assertGreaterEqual(counts["unanswered"], 4)
        self.assertGreaterEqual(counts["text"], 7)
        self.assertGreaterEqual(counts["burst"], 5)


class OnAPty(unittest.TestCase):
    def start(self, *extra):
        master, slave = os.openpty()
        # the test keeps its own slave open, so reading the master never fails for want of one
        self.addCleanup(os.close, slave)
        proc = subprocess.Popen([sys.executable, SIMULATOR, os.ttyname(slave)] + list(extra),
                                stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        return master, proc

    def read_until_exit(self, master, proc, limit, first_only=False):
        """Reads the far end with arrival times until the simulator ends or the limit passes
        (or, with first_only, until the first bytes came)."""
        chunks, end = [], time.monotonic() + limit
        while time.monotonic() < end:
            ready, _, _ = select.select([master], [], [], 0.05)
            if ready:
                try:
                    data = os.read(master, 4096)
                except OSError:
                    break
                if data:
                    chunks.append((time.monotonic(), data))
                    if first_only:
                        break
            elif proc.poll() is not None:
                break
        return chunks

    def test_written_bytes_arrive_unchanged_with_pauses_between_cycles(self):
        master, proc = self.start("--seconds", "3", "--seed", "3", "--pause-min", "250", "--pause-max", "300",
                                  "--text-every", "2", "--burst-every", "3", "--missing", "9", "-v")
        try:
            chunks = self.read_until_exit(master, proc, 10)
            out, err = proc.communicate(timeout=5)
        finally:
            os.close(master)
        self.assertEqual(proc.returncode, 0, err)
        frames = [bytes.fromhex(line.split(" ", 1)[1]) for line in out.decode().splitlines()]
        received = b"".join(d for _, d in chunks)
        self.assertEqual(received, b"".join(frames))  # nothing lost, nothing translated
        counts = classify(frames, [1, 2, 17], 9)
        self.assertGreaterEqual(counts["pairs"], 9)
        self.assertGreaterEqual(counts["text"], 1)
        self.assertGreaterEqual(counts["burst"], 1)
        silences = [b[0] - a[0] for a, b in zip(chunks, chunks[1:])]
        self.assertGreaterEqual(sum(1 for s in silences if s > 0.2), 3)  # the cycles are apart

    def test_sigterm_ends_it_cleanly(self):
        master, proc = self.start()
        try:
            self.assertTrue(self.read_until_exit(master, proc, 5, first_only=True))  # it runs
            proc.send_signal(signal.SIGTERM)
            proc.wait(timeout=5)
        finally:
            os.close(master)
            if proc.poll() is None:
                proc.kill()
            proc.communicate()
        self.assertEqual(proc.returncode, 0)

    def test_ends_cleanly_when_the_line_goes_away(self):
        master, proc = self.start("--pause-min", "50", "--pause-max", "60")
        self.assertTrue(self.read_until_exit(master, proc, 5, first_only=True))
        os.close(master)
        try:
            proc.wait(timeout=5)
        finally:
            if proc.poll() is None:
                proc.kill()
            _, err = proc.communicate()
        self.assertEqual(proc.returncode, 0, err)

    def test_refuses_a_path_that_cannot_be_opened(self):
        result = subprocess.run([sys.executable, SIMULATOR, "/nonexistent/tty", "--seconds", "1"],
                                capture_output=True, timeout=10)
        self.assertEqual(result.returncode, 1)
        self.assertIn(b"cannot open", result.stderr)


if __name__ == "__main__":
    unittest.main(verbosity=2)
