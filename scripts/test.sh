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

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$jobs"
(cd build && ctest --output-on-failure -j"$jobs")

scripts/check-install.sh build
scripts/check-docs.sh build

# The sanitizer pass is built with Clang, so the library and the tests also
# build and run with a second compiler (the builds above use the default,
# GCC); the fuzz harnesses below share its compiler and sanitizer runtime.
# A folder of its own: CMake drops the options of a folder configured
# before with another compiler.
clang=$(command -v clang++-14 || command -v clang++)
cmake -S . -B build-clang-sanitize -DCMAKE_CXX_COMPILER="$clang" -DTABULON_SANITIZE=ON \
  -DTABULON_FLAVOURS=7 -DCMAKE_BUILD_TYPE=Debug
cmake --build build-clang-sanitize -j"$jobs"
(cd build-clang-sanitize && ASAN_OPTIONS=detect_leaks=1 \
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --output-on-failure -j"$jobs")

scripts/fuzz.sh 30
