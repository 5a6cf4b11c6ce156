# Sourced by the benchmark scripts: builds the named benchmark programs in
# build-bench/ (Release, flavour 7) and sets bin (where they are) and work
# (a scratch folder removed when the script exits).
# Usage: . scripts/bench-build.sh TARGET...
build=build-bench
bin=$build/bench
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DTABULON_FLAVOURS=7 \
  -DTABULON_BUILD_BENCH=ON -DTABULON_BUILD_TESTS=OFF -DTABULON_BUILD_TOOLS=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target "$@" >/dev/null
