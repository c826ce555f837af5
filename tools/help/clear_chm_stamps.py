#!/usr/bin/env python3
"""Sets the two compile-time stamps that chmcmd writes into a .chm to zero, in place.

chmcmd stores the time of day of the compile in the ITSF header and in the #SYSTEM file (code 10);
with them cleared (and chmcmd run without address randomisation) the same pages give the same bytes.
The help viewer reads neither stamp.
"""
import os
import struct
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tests", "help"))
from check_chm import read_directory  # noqa: E402  (the directory reader of the help file's checks)


def clear(data):
    entries, content = read_directory(bytes(data))
    struct.pack_into(">I", data, 0x10, 0)
    section, offset, length = entries.get("/#SYSTEM", (None, 0, 0))
    if section != 0:
        raise ValueError("no uncompressed /#SYSTEM file")
    at, end = content + offset + 4, content + offset + length
    while at + 4 <= end:
        code, size = struct.unpack_from("<HH", data, at)
        if code == 10 and size == 4:
            struct.pack_into("<I", data, at + 4, 0)
        at += 4 + size


def main(path):
    with open(path, "rb") as f:
        data = bytearray(f.read())
    clear(data)
    with open(path, "wb") as f:
        f.write(data)
    return 0


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit("usage: clear_chm_stamps.py FILE.chm")
    sys.exit(main(sys.argv[1]))
