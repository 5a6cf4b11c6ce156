#!/usr/bin/env bash
# The whole test suite on a fresh machine: install what is needed, build both
# library flavours, run the tests on each, check an installed copy with
# pkg-config and CMake, check that every public member is documented and that
# the examples of the README and the reference build and run, run the suite
# once more under Clang's ASan and UBSan, and give each libFuzzer harness a
# short run from its saved corpus.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

scripts/setup.sh

cmake --preset default
cmake --build --preset default -j"$jobs"
ctest --preset default -j"$jobs"

scripts/check-install.sh build
scripts/check-docs.sh build

# The sanitizer pass is built with Clang, so the library and the tests also
# build and run with a second compiler (the builds above use the default,
# GCC); the fuzz harnesses below share its compiler and sanitizer runtime.
# A folder of its own: CMake drops the options of a folder configured
# before with another compiler.
cmake --preset clang-sanitize
cmake --build --preset clang-sanitize -j"$jobs"
ctest --preset clang-sanitize -j"$jobs"

scripts/fuzz.sh 30
