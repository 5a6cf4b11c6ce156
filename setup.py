"""Builds the extension module tabulon._tabulon from the library's own sources.

The library's sources (containers, format, model, ole, export; the SQLite
data set apart) are compiled into the extension, so the package needs no
installed library. TABULON_BUILD_JOBS sets the compile jobs (2 by default);
TABULON_PYTHON_BUILD_DIR the folder of the build's objects (build-python,
beside CMake's build folder, by default).
"""

import os
from pathlib import Path

from pybind11.setup_helpers import ParallelCompile, Pybind11Extension, build_ext
from setuptools import setup

ROOT = Path(__file__).resolve().parent
LIBRARY_DIRS = ["containers", "format", "model", "ole", "export"]
# The SQLite data set is a library of its own; the package does not need it.
LEFT_OUT = {"TabulonSqlite.cpp"}


def relative(paths):
    return sorted(str(path.relative_to(ROOT)) for path in paths)


def library_sources():
    found = []
    for folder in LIBRARY_DIRS:
        found += [p for p in (ROOT / folder).rglob("*.cpp") if p.name not in LEFT_OUT]
    return relative(found)


def header_dirs():
    # The sources include each other by bare file name.
    dirs = {p.parent for folder in LIBRARY_DIRS for p in (ROOT / folder).rglob("*.h")}
    return relative(dirs) + ["python/src"]


ParallelCompile("TABULON_BUILD_JOBS", default=2).install()

extension = Pybind11Extension(
    "tabulon._tabulon",
    sources=relative((ROOT / "python/src").glob("*.cpp")) + library_sources(),
    include_dirs=header_dirs(),
    cxx_std=17,
    extra_compile_args=["-O2", "-g0"],
)

setup(
    options={"build": {"build_base": os.environ.get("TABULON_PYTHON_BUILD_DIR", "build-python")}},
    package_dir={"": "python"},
    packages=["tabulon"],
    package_data={"tabulon": ["py.typed", "*.pyi"]},
    ext_modules=[extension],
    cmdclass={"build_ext": build_ext},
)
