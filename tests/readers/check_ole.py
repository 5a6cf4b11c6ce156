"""Reads compound documents written by the library with independent readers.

  check_ole.py ole PATH STREAM SIZE CRC32
      Opens PATH with olefile at its strict defect level, reads STREAM back and
      compares its size and CRC-32 (decimal); reads it again with xlrd's own
      compound document reader, which must log nothing; also checks the layout
      rules that neither reader does (allocation table marks, directory
      fields, padding).
  check_ole.py xls PATH
      Opens PATH with xlrd and prints, per sheet, its name, size and the values
      of its first and last cells, followed by anything xlrd logged.

Prints "ok" (ole) or the summary (xls) and exits 0; prints the problems and
exits 1 otherwise.
"""
import io
import struct
import sys
import zlib

SECTOR = 512
IDS_PER_SECTOR = SECTOR // 4
FREESECT, ENDOFCHAIN, FATSECT, DIFSECT = 0xFFFFFFFF, 0xFFFFFFFE, 0xFFFFFFFD, 0xFFFFFFFC
NOSTREAM = 0xFFFFFFFF


def ids(data):
    return list(struct.unpack("<%dI" % (len(data) // 4), data))


class Layout:
    """Raw view of the file, checked rule by rule; problems collect in errors."""

    def __init__(self, raw):
        self.raw = raw
        self.errors = []
        (self.minor, self.major, self.order, self.shift, self.mini_shift) = struct.unpack_from(
            "<5H", raw, 0x18)
        (self.dir_count, self.fat_count, self.dir_start, self.txn, self.cutoff,
         self.minifat_start, self.minifat_count, self.difat_start,
         self.difat_count) = struct.unpack_from("<9I", raw, 0x28)
        self.sectors = len(raw) // SECTOR - 1

    def expect(self, condition, message):
        if not condition:
            self.errors.append(message)

    def sector(self, index):
        return self.raw[SECTOR * (index + 1):SECTOR * (index + 2)]

    def check_header(self):
        self.expect(len(self.raw) % SECTOR == 0, "file size %d not whole sectors" % len(self.raw))
        self.expect(self.raw[:8] == bytes.fromhex("D0CF11E0A1B11AE1"), "signature")
        self.expect(self.raw[8:24] == bytes(16), "header class id not zero")
        self.expect((self.minor, self.major, self.order, self.shift, self.mini_shift)
                    == (0x3E, 3, 0xFFFE, 9, 6), "version, byte order or shifts")
        self.expect(self.raw[0x22:0x28] == bytes(6), "reserved header bytes")
        self.expect(self.dir_count == 0 and self.txn == 0 and self.cutoff == 4096,
                    "directory sector count, transaction number or cutoff")

    def fat_sector_ids(self):
        header_slots = ids(self.raw[0x4C:0x200])
        in_header = min(self.fat_count, 109)
        self.expect(all(s == FREESECT for s in header_slots[in_header:]),
                    "unused header DIFAT slots not FREESECT")
        found = header_slots[:in_header]
        needed_difat = 0 if self.fat_count <= 109 else -(-(self.fat_count - 109) // 127)
        self.expect(self.difat_count == needed_difat,
                    "%d DIFAT sectors for %d FAT sectors" % (self.difat_count, self.fat_count))
        self.expect((self.difat_start == ENDOFCHAIN) == (self.difat_count == 0),
                    "first DIFAT sector %#x with %d DIFAT sectors" % (
                        self.difat_start, self.difat_count))
        self.difat_sectors = []
        current = self.difat_start
        for _ in range(self.difat_count):
            self.difat_sectors.append(current)
            slots = ids(self.sector(current))
            wanted = min(127, self.fat_count - len(found))
            found += slots[:wanted]
            self.expect(all(s == FREESECT for s in slots[wanted:127]),
                        "unused DIFAT slots not FREESECT")
            current = slots[127]
        self.expect(current == ENDOFCHAIN, "DIFAT chain ends with %#x" % current)
        return found

    def check_fat(self):
        fat_sectors = self.fat_sector_ids()
        self.fat = []
        for s in fat_sectors:
            self.fat += ids(self.sector(s))
        self.expect(len(self.fat) >= self.sectors, "FAT does not cover the file")
        self.expect(all(self.fat[s] == FATSECT for s in fat_sectors), "FAT sectors not FATSECT")
        self.expect(all(self.fat[s] == DIFSECT for s in self.difat_sectors),
                    "DIFAT sectors not DIFSECT")
        self.expect(all(e != FREESECT for e in self.fat[:self.sectors]), "unused sector in file")
        self.expect(all(e == FREESECT for e in self.fat[self.sectors:]),
                    "FAT entries beyond the file not FREESECT")

    def chain(self, table, start, count, what):
        """Follows count links from start; the last must end the chain."""
        links = []
        current = start
        for _ in range(count):
            if current >= len(table):
                self.errors.append("%s chain leaves its table at %#x" % (what, current))
                return links
            links.append(current)
            current = table[current]
        self.expect(current == ENDOFCHAIN, "%s chain does not end after %d links" % (what, count))
        return links

    def entry(self, index):
        data = self.chain(self.fat, self.dir_start, 1, "directory")
        raw = self.sector(data[0])[128 * index:128 * (index + 1)] if data else bytes(128)
        name_len, kind, colour, left, right, child = struct.unpack_from("<HBB3I", raw, 64)
        start, size = struct.unpack_from("<IQ", raw, 116)
        name = raw[:max(name_len - 2, 0)].decode("utf-16-le", "replace")
        rest_zero = raw[80:116] == bytes(36)  # class id, state bits, time stamps
        return raw, name, kind, colour, (left, right, child), start, size, rest_zero

    def check_directory(self, stream_name, size):
        _, name, kind, colour, links, root_start, root_size, zero = self.entry(0)
        self.expect((name, kind, colour, links, zero) == (
            "Root Entry", 5, 1, (NOSTREAM, NOSTREAM, 1), True), "root entry fields")
        _, name, kind, colour, links, start, stream_size, zero = self.entry(1)
        self.expect((name, kind, colour, links, zero) == (
            stream_name, 2, 1, (NOSTREAM, NOSTREAM, NOSTREAM), True), "stream entry fields")
        self.expect(stream_size == size, "stream entry size %d" % stream_size)
        for index in (2, 3):
            raw = self.entry(index)[0]
            unused = bytes(68) + struct.pack("<3I", NOSTREAM, NOSTREAM, NOSTREAM) + bytes(48)
            self.expect(raw == unused, "unused directory entry %d not empty" % index)
        self.check_placement(size, start, root_start, root_size)

    def check_placement(self, size, start, root_start, root_size):
        mini = 0 < size < 4096
        mini_sectors = -(-size // 64) if mini else 0
        self.expect(root_size == 64 * mini_sectors, "root entry size %d" % root_size)
        self.expect(self.minifat_count == (1 if mini else 0), "MiniFAT sector count")
        if size == 0:
            self.expect(start == ENDOFCHAIN and root_start == ENDOFCHAIN, "empty stream has sectors")
        if not mini:
            self.expect(root_start == ENDOFCHAIN and self.minifat_start == ENDOFCHAIN,
                        "mini stream or MiniFAT without a small stream")
            self.chain(self.fat, start, -(-size // SECTOR), "stream")
            return
        self.chain(self.fat, root_start, -(-root_size // SECTOR), "mini stream")
        minifat_sectors = self.chain(self.fat, self.minifat_start, self.minifat_count, "MiniFAT")
        minifat = ids(b"".join(self.sector(s) for s in minifat_sectors))
        self.chain(minifat, start, mini_sectors, "stream in mini stream")
        self.expect(all(e == FREESECT for e in minifat[mini_sectors:]),
                    "unused MiniFAT entries not FREESECT")


def read_with_olefile(path, stream_name, expect):
    import olefile
    try:
        ole = olefile.OleFileIO(path, raise_defects=olefile.DEFECT_INCORRECT)
        if ole.listdir() != [[stream_name]]:
            expect.errors.append("olefile lists %r" % ole.listdir())
        data = ole.openstream(stream_name).read()
        ole.close()
        expect(data, "olefile")
    except Exception as e:  # any defect olefile raises is a failure to report
        expect.errors.append("olefile: %s: %s" % (type(e).__name__, e))


def read_with_xlrd(raw, stream_name, expect):
    from xlrd import compdoc
    log = io.StringIO()
    try:
        expect(compdoc.CompDoc(raw, logfile=log).get_named_stream(stream_name) or b"", "xlrd")
    except Exception as e:
        expect.errors.append("xlrd: %s: %s" % (type(e).__name__, e))
    if log.getvalue():
        expect.errors.append("xlrd logged: " + log.getvalue())


class Expect:
    """Compares stream bytes read back with the expected size and CRC-32."""

    def __init__(self, size, crc, errors):
        self.size, self.crc, self.errors = size, crc, errors

    def __call__(self, data, reader):
        if len(data) != self.size or zlib.crc32(data) != self.crc:
            self.errors.append("%s read %d bytes with CRC-32 %d" % (
                reader, len(data), zlib.crc32(data)))


def check_ole(path, stream_name, size, crc):
    with open(path, "rb") as f:
        raw = f.read()
    layout = Layout(raw)
    layout.check_header()
    layout.check_fat()
    layout.check_directory(stream_name, size)
    expect = Expect(size, crc, layout.errors)
    read_with_olefile(path, stream_name, expect)
    read_with_xlrd(raw, stream_name, expect)
    print("\n".join(expect.errors) if expect.errors else "ok")
    return not expect.errors


def check_xls(path):
    import xlrd
    log = io.StringIO()
    book = xlrd.open_workbook(path, logfile=log)
    for sheet in book.sheets():
        last = sheet.cell_value(sheet.nrows - 1, sheet.ncols - 1) if sheet.nrows else None
        print("%s %dx%d %r %r %r" % (sheet.name, sheet.nrows, sheet.ncols,
                                     sheet.cell_value(0, 0), sheet.cell_value(0, 1), last))
    print(log.getvalue(), end="")
    return True


def main(argv):
    if argv[1:2] == ["ole"] and len(argv) == 6:
        return check_ole(argv[2], argv[3], int(argv[4]), int(argv[5]))
    if argv[1:2] == ["xls"] and len(argv) == 3:
        return check_xls(argv[2])
    print(__doc__)
    return False


if __name__ == "__main__":
    sys.exit(0 if main(sys.argv) else 1)
