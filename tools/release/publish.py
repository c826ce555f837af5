#!/usr/bin/env python3
"""Puts release archives into the dist folder and lists every archive there in SHA256SUMS.

Usage: publish.py DIST ARCHIVE...
Each archive replaces only the archives of its own architecture (-win32 or -win64, any version),
so making one architecture's archive keeps the other's.
"""
import glob
import hashlib
import os
import re
import shutil
import sys


def publish(dist, archives):
    os.makedirs(dist, exist_ok=True)
    for archive in archives:
        arch = re.search(r"-(win32|win64)\.zip$", archive).group(1)
        for old in glob.glob(os.path.join(dist, "Tavrenix-*-%s.zip" % arch)):
            os.remove(old)
        shutil.copyfile(archive, os.path.join(dist, os.path.basename(archive)))
    lines = []
    for path in sorted(glob.glob(os.path.join(dist, "Tavrenix-*.zip"))):
        with open(path, "rb") as f:
            lines.append("%s  %s\n" % (hashlib.sha256(f.read()).hexdigest(), os.path.basename(path)))
    with open(os.path.join(dist, "SHA256SUMS"), "w") as f:
        f.writelines(lines)
    return "".join(lines)


if __name__ == "__main__":
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    sys.stdout.write(publish(sys.argv[1], sys.argv[2:]))
