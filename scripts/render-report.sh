#!/usr/bin/env bash
# Renders the sample report of scripts/run.sh (out/orders.xls) the way a
# reader sees it: LibreOffice prints it to PDF, pdftoppm (poppler-utils) turns
# the first page into docs/sample-report.png for the README.
# Usage: scripts/render-report.sh [WORKBOOK.xls]   (runs scripts/run.sh first
# when the default workbook is missing)
set -euo pipefail
cd "$(dirname "$0")/.."

book=${1:-out/orders.xls}
[ -f "$book" ] || scripts/run.sh
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A private profile, so a running LibreOffice or a user's settings never interfere.
soffice -env:UserInstallation="file://$work/profile" --headless \
  --convert-to pdf --outdir "$work" "$book" >/dev/null
pdf="$work/$(basename "${book%.*}").pdf"
[ -s "$pdf" ] || { echo "render-report: LibreOffice wrote no PDF for $book" >&2; exit 1; }
mkdir -p docs
pdftoppm -png -r 110 -f 1 -l 1 -singlefile "$pdf" docs/sample-report
echo "wrote docs/sample-report.png"
