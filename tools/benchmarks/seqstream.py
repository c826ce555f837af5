"""A known byte stream with sequence numbers, and the check of what a receiver got of it.

The stream is a run of records: the magic bytes A5 5A, a 32-bit big-endian sequence number, then
a body. The full layout's body is every byte value 00..FF once; the short layout's body is 26
bytes that run on through the byte values from record to record, so that short pieces still hold
a header. Any byte offset of the stream is known from the record that holds it, so a received
stream can be lined up against the sent one after a loss.
"""
import struct

MAGIC = b"\xA5\x5A"
HEADER = len(MAGIC) + 4


class Layout:
    def __init__(self, body_length):
        self.body_length = body_length
        self.record_length = HEADER + body_length

    def body(self, seq):
        if self.body_length == 256:
            return bytes(range(256))
        start = seq * self.body_length
        return bytes((start + i) & 0xFF for i in range(self.body_length))

    def record(self, seq):
        return MAGIC + struct.pack(">I", seq) + self.body(seq)

    def records(self, first, count):
        return b"".join(self.record(first + i) for i in range(count))

    def expected(self, length, start=0):
        """Bytes start..start+length of the stream."""
        first = start // self.record_length
        last = (start + length) // self.record_length + 1
        off = start - first * self.record_length
        return self.records(first, last - first)[off:off + length]

    def header_offset(self, data, at, limit_seq):
        """Stream offset of a header at data[at], or None when it is no plausible header."""
        if data[at:at + 2] != MAGIC or at + HEADER > len(data):
            return None
        (seq,) = struct.unpack(">I", data[at + 2:at + HEADER])
        if seq > limit_seq:
            return None
        if at + HEADER < len(data) and data[at + HEADER] != self.body(seq)[0]:
            return None
        return seq * self.record_length


FULL = Layout(256)
SHORT = Layout(26)
RECORD = FULL.record_length


def record(seq):
    return FULL.record(seq)


def expected(length, start=0):
    return FULL.expected(length, start)


class Stream:
    """The sent stream, produced piece by piece."""

    def __init__(self, layout=FULL):
        self.layout = layout
        self.sent = 0
        self._buf = b""
        self._next = 0

    def take(self, n):
        while len(self._buf) < n:
            self._buf += self.layout.records(self._next, 64)
            self._next += 64
        out, self._buf = self._buf[:n], self._buf[n:]
        self.sent += n
        return out


def _match_forward(layout, data, i, pos, end):
    """How many bytes of data from i equal the stream from pos (not beyond offset end)."""
    n = min(len(data) - i, end - pos)
    if n <= 0:
        return 0
    want = layout.expected(n, pos)
    block = 4096
    k = 0
    while k < n:
        m = min(block, n - k)
        if data[i + k:i + k + m] == want[k:k + m]:
            k += m
            continue
        while data[i + k] == want[k]:
            k += 1
        return k
    return k


def _match_backward(layout, data, h, off, most):
    """How many bytes of data just before index h equal the stream just before offset off."""
    m = min(h, off, most)
    if m <= 0:
        return 0
    want = layout.expected(m, off - m)
    k = 0
    while k < m and data[h - 1 - k] == want[m - 1 - k]:
        k += 1
    return k


class Check:
    """What a receiver got: bytes in order, lost, out of place; where the gaps are.

    received is the bytes as one run, or (chunks=True) a list of the pieces the receiver got
    them in, each a contiguous piece of what it read: then every piece is placed whole.
    """

    def __init__(self, received, sent_length, start=0, layout=FULL, chunks=False):
        self.layout = layout
        self.sent = sent_length
        self.start = start
        self.in_order = 0      # bytes at their place in the stream, each later than the one before
        self.out_of_place = 0  # duplicated, reordered or garbled bytes
        self.gaps = []         # (stream offset, bytes missing)
        self.runs = []         # (stream offset, length) of the pieces had, in stream order
        if chunks:
            self.received = sum(len(c) for c in received)
            self._place_chunks([bytes(c) for c in received])
        else:
            self.received = len(received)
            self._scan(bytes(received))
        self.lost = self.sent - self.in_order

    def perfect(self):
        return self.in_order == self.sent and self.received == self.sent and self.out_of_place == 0

    def summary(self):
        return "%d of %d bytes in order, %d lost in %d gaps, %d out of place" % (
            self.in_order, self.sent, self.lost, len(self.gaps), self.out_of_place)

    def covers(self, start, end):
        """Whether every byte of stream offsets start..end-1 was had."""
        for off, length in self.runs:
            if off <= start < off + length:
                start = off + length
            if start >= end:
                return True
        return start >= end

    def _had(self, at, count):
        if self.runs and self.runs[-1][0] + self.runs[-1][1] == at:
            self.runs[-1] = (self.runs[-1][0], self.runs[-1][1] + count)
        else:
            self.runs.append((at, count))

    def _take(self, at, count, done_to):
        if at > done_to:
            self.gaps.append((done_to, at - done_to))
        self.in_order += count
        self._had(at, count)
        return at + count

    def _finish(self, done_to):
        end = self.start + self.sent
        if done_to < end:
            self.gaps.append((done_to, end - done_to))

    def _place_chunks(self, chunks):
        lay = self.layout
        end = self.start + self.sent
        limit_seq = end // lay.record_length + 1
        # First the pieces that hold a header: their place is certain.
        known = []
        for c in chunks:
            at = None
            for j in range(len(c)):
                off = lay.header_offset(c, j, limit_seq)
                if off is not None and self.start <= off - j and off - j + len(c) <= end \
                        and lay.expected(len(c), off - j) == c:
                    at = off - j
                    break
            known.append(at)
        # Then each in turn; one without a header goes on from the last, or lies before the next
        # placed one.
        done_to = self.start
        for i, c in enumerate(chunks):
            n = len(c)
            if n == 0:
                continue
            at = known[i]
            if done_to + n <= end and c == lay.expected(n, done_to):
                at = done_to
            elif at is None:
                bound = next((k for k in known[i + 1:] if k is not None and k >= done_to), end)
                hay = lay.expected(max(0, min(bound, end) - done_to), done_to)
                k = hay.find(c)
                at = done_to + k if k >= 0 else None
            if at is None or at < done_to:
                self.out_of_place += n
                continue
            done_to = self._take(at, n, done_to)
        self._finish(done_to)

    def _scan(self, data):
        lay = self.layout
        end = self.start + self.sent
        limit_seq = end // lay.record_length + 1
        n = len(data)
        i = 0
        done_to = self.start  # every stream byte before this offset is had or counted lost
        while i < n:
            off = lay.header_offset(data, i, limit_seq) if data[i] == MAGIC[0] else None
            if off is None or off == done_to:
                k = _match_forward(lay, data, i, done_to, end)
                if k and i + k < n and done_to + k < end:
                    # A header that differs from the expected one only in its last bytes: go back
                    # to it, it says where the bytes belong.
                    for j in range(max(i, i + k - HEADER + 1), i + k):
                        if lay.header_offset(data, j, limit_seq) not in (None, done_to + j - i):
                            k = j - i
                            break
                if k:
                    self.in_order += k
                    self._had(done_to, k)
                    i += k
                    done_to += k
                    continue
                # Out of step: the next header says where the following bytes belong.
                h = i + 1
                off = None
                while h < n:
                    off = lay.header_offset(data, h, limit_seq)
                    if off is not None:
                        break
                    h += 1
                if off is None:
                    self.out_of_place += n - i
                    break
                # Bytes before the header: the end of the record before it, if they fit there.
                k = _match_backward(lay, data, h, off, min(h - i, max(0, off - done_to)))
                self.out_of_place += h - i - k
                if k:
                    done_to = self._take(off - k, k, done_to)
                i = h
            if off < done_to:
                # A piece from behind: duplicated or reordered, as far as it reaches what was had.
                k = max(min(_match_forward(lay, data, i, off, end), done_to - off), 1)
                self.out_of_place += k
                i += k
                continue
            k = _match_forward(lay, data, i, off, end)
            if k == 0:
                self.out_of_place += 1
                i += 1
                continue
            done_to = self._take(off, k, done_to)
            i += k
        self._finish(done_to)
