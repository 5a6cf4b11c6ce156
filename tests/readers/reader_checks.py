#!/usr/bin/python3
"""What the reader checkers share: the facts a reader got wrong, the reasons
a reader cannot run here, the LibreOffice and Gnumeric conversions, and the
run of one checker.

    from reader_checks import Checks, missing, run_checker
    sys.exit(run_checker(sys.argv, lambda reader: missing(reader, NEEDS), check))

check(reader, folder, build_dir, checks) records into checks what the reader
got wrong; run_checker prints each of those and exits 1 then, 0 when there
are none, SKIP (77) with the reason when the reader is missing.
"""
import hashlib
import importlib.util
import os
import shutil
import subprocess

from biff8_readers import missing_reader

SKIP = 77
# The program each converting reader runs.
PROGRAMS = {"libreoffice": "soffice", "gnumeric": "ssconvert"}


def digest(text):
    return hashlib.md5(text.encode()).hexdigest()[:8] + "/%d" % len(text)


class Checks:
    def __init__(self, reader):
        self.reader = reader
        self.failures = []

    def equal(self, label, got, expected):
        if got != expected:
            # A long text is named by its length and digest, to keep the line short.
            if isinstance(got, str) and isinstance(expected, str) and len(expected) > 80:
                got, expected = digest(got), digest(expected)
            self.failures.append("%s: %s: got %r, expected %r" % (self.reader, label, got,
                                                                  expected))


def cell_index(address):
    """(row, column) from 0 of an address such as "B3"."""
    letters = address.rstrip("0123456789")
    col = 0
    for letter in letters:
        col = col * 26 + ord(letter) - 64
    return int(address[len(letters):]) - 1, col - 1


def missing(reader, needs, programs=PROGRAMS):
    """Why the reader cannot run here, or None; needs: {reader: python modules}."""
    if reader in ("poi", "sheetjs"):
        return missing_reader(reader)
    lacking = [module for module in needs.get(reader, []) if importlib.util.find_spec(module) is None]
    if lacking:
        return "/usr/bin/python3 lacks %s" % ", ".join(lacking)
    program = programs.get(reader)
    if program and shutil.which(program) is None:
        return "%s is not installed" % program
    return None


def soffice_convert(paths, folder, to="xlsx"):
    """The files LibreOffice converts the workbooks to, in one start, in folder/libreoffice."""
    out = os.path.join(folder, "libreoffice")
    os.makedirs(out, exist_ok=True)
    subprocess.run(["soffice", "-env:UserInstallation=file://" + os.path.join(folder, "lo"),
                    "--headless", "--convert-to", to, "--outdir", out] + paths,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=False)
    return [os.path.join(out, os.path.splitext(os.path.basename(path))[0] + "." + to)
            for path in paths]


def ssconvert(path, target, *options):
    """Gnumeric's exit status and its stderr, which must be empty, converting path to target."""
    result = subprocess.run(["ssconvert"] + list(options) + [path, target],
                            stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, check=False)
    return result.returncode, result.stderr.decode(errors="replace")


def run_checker(argv, missing_for, check):
    """argv: the checker's READER BOOK_DIR BUILD_DIR; its exit status."""
    reader, folder, build_dir = argv[1:4]
    reason = missing_for(reader)
    if reason:
        print(reason)
        return SKIP
    checks = Checks(reader)
    check(reader, folder, build_dir, checks)
    for failure in checks.failures:
        print(failure)
    return 1 if checks.failures else 0
