#!/usr/bin/env bash
# Installs a built tree into a scratch prefix and compiles a small program
# against each flavour the way a user would: with pkg-config, and with CMake's
# find_package. Usage: scripts/check-install.sh BUILD_DIR
set -euo pipefail
build=${1:-build}
root=$(cd "$(dirname "$0")/.." && pwd)
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT

cmake --install "$build" --prefix "$prefix" >/dev/null
export PKG_CONFIG_PATH="$prefix/lib/pkgconfig"

for flavour in 7 4; do
  g++ "$root/examples/install_check/app.cpp" -o "$prefix/app$flavour" \
    $(pkg-config --cflags --libs "tabulon$flavour")
  "$prefix/app$flavour" | grep -qx "C7 2 3 ok" || { echo "check-install: tabulon$flavour program failed"; exit 1; }
done

cmake -S "$root/examples/install_check" -B "$prefix/cmake-build" -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
cmake --build "$prefix/cmake-build" >/dev/null
for flavour in 7 4; do
  "$prefix/cmake-build/app$flavour" | grep -qx "C7 2 3 ok" || { echo "check-install: CMake tabulon$flavour program failed"; exit 1; }
done
echo "check-install: 4 passed, 0 failed"
