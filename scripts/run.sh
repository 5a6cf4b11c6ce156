#!/usr/bin/env bash
# The main job on a fresh machine: install what is needed, build the library
# and the tabulon command, and convert the sample CSV that ships with the
# examples into out/sample.xls.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
# A build folder of its own, so its settings never leak into the test builds.
cmake -S . -B build-run -DTABULON_FLAVOURS=7 -DTABULON_BUILD_TESTS=OFF -DCMAKE_BUILD_TYPE=Release
cmake --build build-run -j"$(nproc)" --target tabulon_cli7
mkdir -p out
build-run/tabulon convert examples/sample.csv out/sample.xls
