#!/usr/bin/python3
"""Opens .xls files in Apache POI (HSSF) and SheetJS and returns what each
read, parsed from the JSON of PoiDump.java and sheetjs_dump.js.

    from biff8_readers import poi_dump, sheetjs_dump
    poi = poi_dump(paths, build_dir)   # one JVM for all the files
    sheetjs = sheetjs_dump(paths)      # one node process for all the files

Both return one dict per path, in order; a file the reader refuses gives
{"path": ..., "error": ...}. ReaderMissing is raised, with what to install,
when a reader is not there; missing_reader(name) tells so beforehand.

    biff8_readers.py BUILD_DIR BOOK.xls ...

prints {"poi": [...], "sheetjs": [...]} for a look by hand.
"""
import json
import os
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
POI_SOURCE = os.path.join(HERE, "PoiDump.java")
SHEETJS_SCRIPT = os.path.join(HERE, "sheetjs_dump.js")
SHEETJS_MODULE = os.path.join(HERE, "node", "node_modules", "xlsx", "package.json")
# Debian's libapache-poi-java and the jars it depends on that HSSF loads.
POI_JARS = [
    os.path.join("/usr/share/java", jar)
    for jar in ("poi.jar", "commons-collections4.jar", "commons-math3.jar", "commons-codec.jar")
]
# Its presence tells that a compile is complete, so it is moved in last.
POI_MAIN_CLASS = "PoiDump.class"
SETUP_HINT = "run scripts/setup.sh"


class ReaderMissing(RuntimeError):
    """A reader, or a part it needs, is not installed."""


def missing_reader(name):
    """Why the reader ("poi" or "sheetjs") cannot run here, or None."""
    if name == "poi":
        needed = [jar for jar in POI_JARS if not os.path.exists(jar)]
        needed += [tool for tool in ("java", "javac") if shutil.which(tool) is None]
    else:
        needed = [] if shutil.which("node") else ["node"]
        needed += [] if os.path.exists(SHEETJS_MODULE) else ["the npm package xlsx"]
    return "%s lacks %s (%s)" % (name, ", ".join(needed), SETUP_HINT) if needed else None


def _require(name):
    reason = missing_reader(name)
    if reason:
        raise ReaderMissing(reason)


def _compiled(build_dir):
    """PoiDump compiled into build_dir, again when the source is newer."""
    main_class = os.path.join(build_dir, POI_MAIN_CLASS)
    if os.path.exists(main_class) and os.path.getmtime(main_class) >= os.path.getmtime(POI_SOURCE):
        return build_dir
    os.makedirs(build_dir, exist_ok=True)
    # Compiled apart and moved in class by class, so tests running side by
    # side never load a half-written class.
    with tempfile.TemporaryDirectory(dir=build_dir) as scratch:
        _run(["javac", "-nowarn", "-encoding", "UTF-8", "-cp", ":".join(POI_JARS),
              "-d", scratch, POI_SOURCE], "javac")
        for name in sorted(os.listdir(scratch), key=lambda name: name == POI_MAIN_CLASS):
            os.replace(os.path.join(scratch, name), os.path.join(build_dir, name))
    return build_dir


def _run(command, what):
    result = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                            stdin=subprocess.DEVNULL)
    if result.returncode != 0:
        raise RuntimeError("%s failed (%d): %s" % (what, result.returncode,
                                                   result.stderr.decode(errors="replace")))
    return result.stdout


def poi_dump(paths, build_dir):
    """POI's view of each .xls file; PoiDump is compiled into build_dir."""
    _require("poi")
    classes = _compiled(build_dir)
    output = _run(["java", "-Djava.awt.headless=true", "-cp",
                   ":".join(POI_JARS + [classes]), "PoiDump"] + list(paths), "PoiDump")
    return json.loads(output)


def sheetjs_dump(paths):
    """SheetJS's view of each .xls file."""
    _require("sheetjs")
    return json.loads(_run(["node", SHEETJS_SCRIPT] + list(paths), "sheetjs_dump.js"))


def main(argv):
    build_dir, paths = argv[1], argv[2:]
    json.dump({"poi": poi_dump(paths, build_dir), "sheetjs": sheetjs_dump(paths)},
              sys.stdout, ensure_ascii=False, indent=1)
    print()
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
