#!/usr/bin/env python3
"""Checks that a compiled help file is a valid CHM built from its project.

Usage: check_chm.py FILE.chm PROJECT.hhp
Reads the ITSF header, the ITSP directory with its PMGL listing chunks and the uncompressed
#SYSTEM file. Every file of the project's [FILES] section, its contents and its index file must
be listed in the CHM with the size of the source file, and #SYSTEM must carry the project's
default topic, title and contents file. Exit status 0 when all holds, 1 otherwise.
"""
import os
import struct
import sys


class ChmError(Exception):
    pass


def encint(data, pos):
    """CHM variable-length integer: 7 bits per byte, high bit set on all but the last."""
    value = 0
    while True:
        if pos >= len(data):
            raise ChmError("truncated encoded integer")
        b = data[pos]
        pos += 1
        value = (value << 7) | (b & 0x7F)
        if not b & 0x80:
            return value, pos


def read_directory(data):
    """Returns {name: (section, offset, length)} and the file offset of content section 0."""
    if len(data) < 0x58 or data[0:4] != b"ITSF":
        raise ChmError("no ITSF signature")
    (version,) = struct.unpack_from("<I", data, 4)
    if version not in (2, 3):
        raise ChmError("unknown ITSF version %d" % version)
    dir_off, dir_len = struct.unpack_from("<QQ", data, 0x48)
    if version == 3:
        (content_off,) = struct.unpack_from("<Q", data, 0x58)
    else:
        content_off = dir_off + dir_len
    if dir_off + dir_len > len(data) or content_off > len(data):
        raise ChmError("directory beyond the end of the file")
    itsp = data[dir_off:dir_off + dir_len]
    if itsp[0:4] != b"ITSP":
        raise ChmError("no ITSP directory header")
    (itsp_len,) = struct.unpack_from("<I", itsp, 8)
    (chunk_size,) = struct.unpack_from("<I", itsp, 0x10)
    first_pmgl, last_pmgl = struct.unpack_from("<ii", itsp, 0x20)
    (n_chunks,) = struct.unpack_from("<I", itsp, 0x2C)
    if chunk_size < 0x20 or itsp_len + n_chunks * chunk_size > len(itsp):
        raise ChmError("directory chunks do not fit the directory")
    entries = {}
    seen = set()
    chunk_no = first_pmgl
    while chunk_no != -1:
        if chunk_no in seen or not 0 <= chunk_no < n_chunks:
            raise ChmError("bad listing chunk chain")
        seen.add(chunk_no)
        base = itsp_len + chunk_no * chunk_size
        chunk = itsp[base:base + chunk_size]
        if chunk[0:4] != b"PMGL":
            raise ChmError("chunk %d is not a listing chunk" % chunk_no)
        free, _, _, next_chunk = struct.unpack_from("<IIii", chunk, 4)
        if free > chunk_size - 0x14:
            raise ChmError("chunk %d has a bad free-space length" % chunk_no)
        pos, end = 0x14, chunk_size - free
        while pos < end:
            n, pos = encint(chunk, pos)
            name = chunk[pos:pos + n].decode("utf-8")
            pos += n
            section, pos = encint(chunk, pos)
            offset, pos = encint(chunk, pos)
            length, pos = encint(chunk, pos)
            entries[name] = (section, offset, length)
        chunk_no = next_chunk
    if last_pmgl not in seen:
        raise ChmError("listing chain misses the last chunk")
    return entries, content_off


def system_records(data, entries, content_off):
    """The #SYSTEM file (kept in the uncompressed section 0) as {code: text}."""
    if "/#SYSTEM" not in entries:
        raise ChmError("no #SYSTEM file")
    section, offset, length = entries["/#SYSTEM"]
    if section != 0 or content_off + offset + length > len(data):
        raise ChmError("#SYSTEM is not readable")
    blob = data[content_off + offset:content_off + offset + length]
    records, pos = {}, 4
    while pos + 4 <= len(blob):
        code, size = struct.unpack_from("<HH", blob, pos)
        records[code] = blob[pos + 4:pos + 4 + size]
        pos += 4 + size
    return {k: v.split(b"\0")[0].decode("latin-1") for k, v in records.items()}


def read_project(hhp_path):
    """The [OPTIONS] of a .hhp project and the list of its [FILES]."""
    options, files, section = {}, [], None
    with open(hhp_path, encoding="latin-1") as f:
        for raw in f:
            line = raw.strip()
            if not line or line.startswith(";"):
                continue
            if line.startswith("[") and line.endswith("]"):
                section = line[1:-1].upper()
            elif section == "OPTIONS" and "=" in line:
                key, value = line.split("=", 1)
                options[key.strip().lower()] = value.strip()
            elif section == "FILES":
                files.append(line)
    return options, files


def check(chm_path, hhp_path):
    options, files = read_project(hhp_path)
    source_dir = os.path.dirname(os.path.abspath(hhp_path))
    for key in ("contents file", "index file"):
        if key in options and options[key] not in files:
            files.append(options[key])
    with open(chm_path, "rb") as f:
        data = f.read()
    entries, content_off = read_directory(data)
    problems = []
    if not files:
        problems.append("the project lists no files")
    for name in files:
        if "/" + name not in entries:
            problems.append("%s is missing" % name)
            continue
        want = os.path.getsize(os.path.join(source_dir, name))
        got = entries["/" + name][2]
        if got != want:
            problems.append("%s has %d bytes, its source %d" % (name, got, want))
    records = system_records(data, entries, content_off)
    for code, key in ((2, "default topic"), (3, "title"), (0, "contents file")):
        if key in options and records.get(code) != options[key]:
            problems.append("%s is %r, the project says %r" % (key, records.get(code), options[key]))
    return problems


def main(argv):
    if len(argv) != 2:
        print(__doc__)
        return 2
    try:
        problems = check(argv[0], argv[1])
    except (ChmError, OSError, struct.error, UnicodeDecodeError) as e:
        problems = ["not a valid CHM: %s" % e]
    for p in problems:
        print("FAIL:", p)
    if not problems:
        print("ok: %s is a valid CHM with the pages of %s" % (argv[0], os.path.basename(argv[1])))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
