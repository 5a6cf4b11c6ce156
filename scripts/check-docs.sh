#!/usr/bin/env bash
# Runs Doxygen over the public headers with warnings as errors: fails when a
# public class, method, constant or parameter is undocumented or a comment is
# malformed. Then builds the examples of README.md and of the API reference
# against BUILD_DIR's library (building the library there if needed) and runs
# the complete programs among them (scripts/check-doc-examples.py). Configures
# BUILD_DIR (build-docs by default) when it is not configured yet.
# Usage: scripts/check-docs.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-docs}
command -v doxygen >/dev/null || { echo "check-docs: doxygen is not installed (scripts/setup.sh)"; exit 1; }
if [ ! -f "$build/docs-check/Doxyfile" ]; then
  cmake -S . -B "$build" -DTABULON_BUILD_TESTS=OFF -DTABULON_BUILD_TOOLS=OFF >/dev/null
fi
if cmake --build "$build" --target docs-check; then
  echo "check-docs: every public member documented"
else
  echo "check-docs: undocumented or badly documented public members (listed above)"
  exit 1
fi
if ! /usr/bin/python3 scripts/check-doc-examples.py "$build"; then
  echo "check-docs: examples in README.md or the API reference that fail (listed above)"
  exit 1
fi
