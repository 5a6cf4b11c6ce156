#!/usr/bin/env bash
# Installs a built tree into a scratch prefix and uses it the way a user
# would, for each flavour: the every-method program (umbrella header only) and
# the SQLite export program, built with pkg-config and with CMake's
# find_package, in C++17 and C++20; the installed `tabulon` command run from
# the prefix with an empty environment; the public headers alone installed,
# none of them including an internal one; no SQLite in the core libraries.
# Usage: scripts/check-install.sh BUILD_DIR   (FLAVOURS="7 4" by default)
set -euo pipefail
build=${1:-build}
flavours=${FLAVOURS:-7 4}
root=$(cd "$(dirname "$0")/.." && pwd)
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
checks=0

fail() {
  echo "check-install: $*" >&2
  exit 1
}

pass() { checks=$((checks + 1)); }

# Runs a built check program; it must print `expected`.
expect_output() {
  local expected=$1
  shift
  local out
  out=$("$@") || fail "$* failed"
  [ "$out" = "$expected" ] || fail "$* printed '$out', not '$expected'"
  pass
}

cmake --install "$build" --prefix "$prefix" >/dev/null
export PKG_CONFIG_PATH="$prefix/lib/pkgconfig"
work="$prefix/work"
mkdir -p "$work"
sqlite3 "$work/orders.db" \
  "CREATE TABLE orders (id INTEGER, customer TEXT, ordered DATE, amount CURRENCY);
   INSERT INTO orders VALUES (1, 'Anna', '2024-03-15', 59.85), (2, 'Ben', '2024-03-16', 7.5);"

# Exactly the public headers are installed (CMake lists them in
# public-headers.txt), and they include public headers only.
public_list="$build/public-headers.txt"
[ -f "$public_list" ] || fail "$public_list is missing: configure $build again"
is_public() { grep -qxF "$1" "$public_list"; }
while read -r name; do
  [ -e "$prefix/include/tabulon/$name" ] || fail "public header $name not installed"
done <"$public_list"
for header in "$prefix"/include/tabulon/*; do
  name=$(basename "$header")
  is_public "$name" || fail "installed header $name is not in the public list"
  while read -r included; do
    is_public "$included" || fail "public header $name includes $included, which is not public"
  done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$header")
done
pass

for flavour in $flavours; do
  lib="$prefix/lib/libtabulon$flavour.so"
  ! ldd "$lib" | grep -qi sqlite || fail "libtabulon$flavour.so links SQLite"
  pkg-config --cflags "tabulon$flavour" | grep -q -- '-std=' && fail "tabulon$flavour Cflags force a standard"
  pass
  for std in c++17 c++20; do
    g++ -std=$std -Wall -Wextra -Werror "$root/examples/install_check/app.cpp" -o "$work/app$flavour-$std" \
      $(pkg-config --cflags --libs "tabulon$flavour")
    expect_output "C7 2 3 ok" "$work/app$flavour-$std" "$work/every$flavour-$std.xls"
  done
  g++ "$root/examples/install_check/sqlite_app.cpp" -o "$work/sqlite_app$flavour" \
    $(pkg-config --cflags --libs "tabulon$flavour-sqlite")
  expect_output "sqlite ok" "$work/sqlite_app$flavour" "$work/orders.db" "$work/orders$flavour.xls"
done

cmake -S "$root/examples/install_check" -B "$work/cmake-build" -DCMAKE_PREFIX_PATH="$prefix" \
  -DTABULON_CHECK_FLAVOURS="${flavours// /;}" >/dev/null
cmake --build "$work/cmake-build" -j2 >/dev/null
for flavour in $flavours; do
  expect_output "C7 2 3 ok" "$work/cmake-build/app$flavour" "$work/cmake$flavour.xls"
  expect_output "C7 2 3 ok" "$work/cmake-build/app${flavour}_cxx20" "$work/cmake$flavour-20.xls"
  expect_output "sqlite ok" "$work/cmake-build/sqlite_app$flavour" "$work/orders.db" "$work/cmake-orders$flavour.xls"
done

# The command runs from the prefix alone: no LD_LIBRARY_PATH, no ldconfig.
if [ -x "$prefix/bin/tabulon" ]; then
  help=$(env -i "$prefix/bin/tabulon" --help) || fail "installed tabulon --help failed"
  [[ $help == "Usage: tabulon "* ]] || fail "installed tabulon --help printed: $help"
  version=$(env -i "$prefix/bin/tabulon" --version) || fail "installed tabulon --version failed"
  [[ $version == "tabulon "* ]] || fail "installed tabulon --version printed: $version"
  pass
fi
echo "check-install: $checks passed, 0 failed"
