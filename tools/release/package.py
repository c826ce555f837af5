#!/usr/bin/env python3
"""Packs a release archive: the program, its help file and the read-me, nothing else.

The archive is the same bytes for the same inputs: fixed member order, one time stamp for every
member (SOURCE_DATE_EPOCH, else the commit's time, else 1980-01-01), fixed attributes.
"""
import argparse
import os
import subprocess
import sys
import time
import zipfile

ZIP_EPOCH_MIN = 315532800  # 1980-01-01, the earliest time a zip entry can hold


def source_date(root):
    value = os.environ.get("SOURCE_DATE_EPOCH", "").strip()
    if not value and root:
        try:
            value = subprocess.run(["git", "-C", root, "log", "-1", "--format=%ct"], capture_output=True,
                                   text=True, check=True).stdout.strip()
        except (OSError, subprocess.CalledProcessError):
            value = ""
    try:
        return max(int(value), ZIP_EPOCH_MIN)
    except ValueError:
        return ZIP_EPOCH_MIN


def windows_text(data):
    """The read-me with CR LF line ends, as Notepad of every Windows version shows it."""
    return data.replace(b"\r\n", b"\n").replace(b"\n", b"\r\n")


def pack(out, members, epoch):
    stamp = time.gmtime(epoch)[:6]
    tmp = out + ".part"
    with zipfile.ZipFile(tmp, "w") as z:
        for name, data in members:
            info = zipfile.ZipInfo(name, date_time=stamp)
            info.compress_type = zipfile.ZIP_DEFLATED
            info.create_system = 0  # MS-DOS: no Unix owner or mode bits
            info.external_attr = 0x20  # FILE_ATTRIBUTE_ARCHIVE
            z.writestr(info, data, compresslevel=9)
    os.replace(tmp, out)


def main():
    p = argparse.ArgumentParser(description=__doc__)
    p.add_argument("--exe", required=True)
    p.add_argument("--chm", required=True)
    p.add_argument("--readme", required=True)
    p.add_argument("--source-dir", help="the source tree, for the commit's time")
    p.add_argument("out")
    a = p.parse_args()
    members = []
    for name, path, convert in (("Tavrenix.exe", a.exe, None), ("tavrenix.chm", a.chm, None),
                                ("ReadMe.txt", a.readme, windows_text)):
        with open(path, "rb") as f:
            data = f.read()
        members.append((name, convert(data) if convert else data))
    pack(a.out, members, source_date(a.source_dir))
    return 0


if __name__ == "__main__":
    sys.exit(main())
