"""The program's capture log (and pane text) taken apart into entries: time stamp, text, and the
bytes of data entries written in "All Hex" format."""
import re

_PREFIX = re.compile(rb"(\d\d):(\d\d):(\d\d)\.(\d\d\d): ")
_HEX = re.compile(rb"(?:[0-9A-F]{2})+")


class Entry:
    def __init__(self, stamp_ms, text):
        self.stamp_ms = stamp_ms  # milliseconds since midnight
        self.text = text          # bytes, line feeds inside a message kept as b"\n"

    @property
    def is_data(self):
        """An entry whose text is all-hex byte pairs: a received chunk in All Hex format."""
        return _HEX.fullmatch(self.text) is not None

    @property
    def data(self):
        return bytes.fromhex(self.text.decode("ascii")) if self.is_data else b""

    def __repr__(self):
        return "Entry(%d, %r)" % (self.stamp_ms, self.text[:40])


def parse(raw):
    """Entries of a log (or pane) text; a line without a time prefix continues the entry before
    it (a message that holds a line feed). Text before the first prefix is dropped."""
    entries = []
    for line in raw.split(b"\r\n"):
        m = _PREFIX.match(line)
        if m:
            h, mi, s, ms = (int(g) for g in m.groups())
            entries.append(Entry(((h * 60 + mi) * 60 + s) * 1000 + ms, line[m.end():]))
        elif entries:
            entries[-1].text += b"\n" + line
    # The split leaves an empty piece after the last line end, which the last entry took.
    if entries and raw.endswith(b"\r\n") and entries[-1].text.endswith(b"\n"):
        entries[-1].text = entries[-1].text[:-1]
    return entries


def data_chunks(entries):
    return [e.data for e in entries if e.is_data]


def messages(entries):
    return [e.text.decode("latin-1") for e in entries if not e.is_data]


def read(path):
    try:
        with open(path, "rb") as f:
            return f.read()
    except FileNotFoundError:
        return b""
