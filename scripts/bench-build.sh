# Sourced by the benchmark scripts: builds the named benchmark programs in
# build-bench/ (Release, flavour 7) and sets bin (where they are) and work
# (a scratch folder removed when the script exits).
# Usage: . scripts/bench-build.sh TARGET...
build=build-bench
bin=$build/bench
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cmake --preset bench >/dev/null
cmake --build "$build" -j"$(nproc)" --target "$@" >/dev/null
