#!/usr/bin/env bash
# Builds the libFuzzer harnesses of tests/fuzz with Clang and runs each for
# SECONDS seconds (default 30), seeded with the saved corpus of
# tests/fuzz/corpus/HARNESS. New inputs go to build-fuzz/corpus, findings to
# build-fuzz/findings; the script fails when a harness finds a crash, a leak
# or an input that takes longer than 2 seconds.
#   scripts/fuzz.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
jobs=$(nproc)

cmake --preset fuzz
harnesses=(cellref bitmap csv api formula codepage)
cmake --build --preset fuzz -j"$jobs" --target "${harnesses[@]/#/fuzz_}"

status=0
for harness in "${harnesses[@]}"; do
  corpus=build-fuzz/corpus/$harness
  findings=build-fuzz/findings/$harness
  mkdir -p "$corpus" "$findings"
  echo "fuzz: $harness for $seconds s"
  if ! ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
      "build-fuzz/tests/fuzz/fuzz_$harness" -max_total_time="$seconds" -timeout=2 \
      -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$findings/" \
      "$corpus" "tests/fuzz/corpus/$harness" 2>"build-fuzz/fuzz_$harness.log"; then
    echo "fuzz: $harness found a problem; the input is in $findings/, the report in" \
      "build-fuzz/fuzz_$harness.log" >&2
    tail -n 40 "build-fuzz/fuzz_$harness.log" >&2
    status=1
  fi
done
exit $status
