"""Reads an SST record and its CONTINUE records with xlrd's own SST parser and
compares the strings with those expected.

Usage: check_sst.py RECORDS EXPECTED
RECORDS holds the records as written (id, length, data; what follows the last
CONTINUE is ignored); EXPECTED holds each string as its unit count (4 bytes,
little-endian) and its UTF-16LE units. Prints "ok COUNT", or the first string
that differs, and exits 1 then.
"""
import struct
import sys

from xlrd.book import unpack_SST_table


def sst_datas(records):
    datas, pos = [], 0
    while pos + 4 <= len(records):
        rid, size = struct.unpack_from("<HH", records, pos)
        if rid != (0x00FC if not datas else 0x003C):
            break
        datas.append(records[pos + 4:pos + 4 + size])
        pos += 4 + size
    return datas


def expected_strings(data):
    strings, pos = [], 0
    while pos < len(data):
        (units,) = struct.unpack_from("<I", data, pos)
        strings.append(data[pos + 4:pos + 4 + 2 * units].decode("utf-16-le"))
        pos += 4 + 2 * units
    return strings


def main():
    with open(sys.argv[1], "rb") as f:
        datas = sst_datas(f.read())
    with open(sys.argv[2], "rb") as f:
        expected = expected_strings(f.read())
    (unique,) = struct.unpack_from("<I", datas[0], 4)
    found, _ = unpack_SST_table(datas, unique)
    for i, (got, want) in enumerate(zip(found, expected)):
        if got != want:
            print("string %d: %r, expected %r" % (i, got[:40], want[:40]))
            return 1
    if len(found) != len(expected):
        print("%d strings, expected %d" % (len(found), len(expected)))
        return 1
    print("ok %d" % len(found))
    return 0


if __name__ == "__main__":
    sys.exit(main())
