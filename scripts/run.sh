#!/usr/bin/env bash
# The main job on a fresh machine: install what is needed, build the library
# and the tabulon command, build the sample order book (an SQLite database made
# from examples/orders.sql) and export it as the formatted workbook
# out/orders.xls, a report with a title, a header that stays in view and is
# printed on every page, fitted columns and page numbers; the sample CSV is
# converted into out/sample.xls as well.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
# A build folder of its own, so its settings never leak into the test builds.
cmake --preset run
cmake --build --preset run -j"$(nproc)"
mkdir -p out
build-run/tabulon convert examples/sample.csv out/sample.xls

rm -f out/orders.db
sqlite3 out/orders.db < examples/orders.sql
build-run/tabulon export --db out/orders.db \
  --query "SELECT order_no AS \"Order\", order_date AS \"Date\", order_time AS \"Time\",
                  customer AS \"Customer\", product AS \"Product\", amount AS \"Amount\"
           FROM orders ORDER BY order_no" \
  -o out/orders.xls --sheet Orders \
  --title "Orders" --subtitle "All orders of the sample book, by order number" \
  --header-font "Arial,10,bold" --header-font-color white --header-color navy \
  --header-border thin --header-border-color black \
  --detail-border hair --detail-border-color grey \
  --paper a4 --page-footer "Page &P of &N"
