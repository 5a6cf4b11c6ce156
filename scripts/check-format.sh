#!/usr/bin/env bash
# Fails when a tracked C++ source or header is not formatted as .clang-format
# says, naming each place; `clang-format -i FILE` mends one.
set -euo pipefail
cd "$(dirname "$0")/.."
command -v clang-format >/dev/null || { echo "check-format: clang-format is not installed (scripts/setup.sh)"; exit 1; }
if git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run -Werror; then
  echo "check-format: every tracked source is formatted"
else
  echo "check-format: the files above are not formatted (clang-format -i FILE)"
  exit 1
fi
