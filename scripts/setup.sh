#!/usr/bin/env bash
# Installs every Debian package that building, testing and running Tabulon
# needs. Packages already present are not fetched again.
set -euo pipefail

packages=(
  build-essential cmake pkg-config clang-format
  googletest libgtest-dev libbenchmark-dev
  libsqlite3-dev sqlite3
  python3 python3-xlrd python3-olefile python3-openpyxl
  python3-dev python3-pip python3-venv python3-setuptools python3-wheel
  pybind11-dev python3-pybind11 python3-numpy python3-pandas python3-xlwt python3-pytest
  gnumeric libreoffice-calc-nogui r-cran-readxl
  libxlsxwriter-dev poppler-utils
  doxygen
  clang-14 libclang-rt-14-dev
  libapache-poi-java default-jre-headless default-jdk-headless
  nodejs
)
# Debian's npm requires Debian's nodejs; a nodejs from elsewhere brings its own.
command -v npm >/dev/null || packages+=(npm)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq "${missing[@]}"
else
  echo "setup: all packages present"
fi

# SheetJS for the reader tests, at the version its lock file pins. The copy of
# the lock file left in node_modules tells whether the install is current.
node_dir="$(dirname "$0")/../tests/readers/node"
if ! cmp -s "$node_dir/package-lock.json" "$node_dir/node_modules/.tabulon-lock"; then
  echo "setup: installing SheetJS"
  (cd "$node_dir" && npm ci --silent --no-audit --no-fund)
  cp "$node_dir/package-lock.json" "$node_dir/node_modules/.tabulon-lock"
else
  echo "setup: SheetJS present"
fi
