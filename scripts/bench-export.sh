#!/usr/bin/env bash
# Side-by-side benchmark of exporting 65,000 records x 10 fields (five
# numbers, three texts, a date, an amount in currency) from the SQLite sample:
#   tabulon       bench_export: TDataset2Excel over the SQLite query, thin
#                 borders on header and detail, saved as .xls
#   libreoffice   soffice --headless --convert-to xls of the same records as CSV
# Each is run as its own process and timed from outside by bench_run (wall
# time; peak RSS of the process and the children it waits for).
# Usage: scripts/bench-export.sh     Environment: REPEATS (default 3).
set -euo pipefail
cd "$(dirname "$0")/.."

repeats=${REPEATS:-3}
. scripts/bench-build.sh bench_export bench_run

sqlite3 "$work/bench.db" < examples/orders.sql
sqlite3 "$work/bench.db" < bench/export_bench.sql
sqlite3 -header -csv "$work/bench.db" "SELECT * FROM bench ORDER BY id" > "$work/bench.csv"
records=$(sqlite3 "$work/bench.db" "SELECT count(*) FROM bench")

calc() { awk "BEGIN { printf \"%.1f\", $1 }"; }

echo "date: $(date -u '+%Y-%m-%d %H:%M UTC'); $(nproc) cores; load average: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "repeats: $repeats (wall ms: best / median of the runs; peak RSS: the largest)"
"$bin/bench_export" "$work/bench.db" "$work/tabulon.xls" --phases
read -r t_best t_med t_rss < <("$bin/bench_run" "$repeats" "$bin/bench_export" "$work/bench.db" "$work/tabulon.xls")
# A private profile, so no running LibreOffice takes the job over; the first
# run creates it and is not timed. soffice reports on stdout, which the
# runner keeps for its own figures.
soffice_cmd="exec /usr/bin/soffice -env:UserInstallation=file://$work/profile --headless \
  --convert-to xls --outdir $work/lo $work/bench.csv >/dev/null 2>&1"
/bin/sh -c "$soffice_cmd"
read -r l_best l_med l_rss < <("$bin/bench_run" "$repeats" /bin/sh -c "$soffice_cmd")
echo
echo "export of $records records x 10 fields; Tabulon file $(stat -c %s "$work/tabulon.xls") bytes," \
  "LibreOffice file $(stat -c %s "$work/lo/bench.xls") bytes"
printf '%-14s %10s %10s %12s\n' writer "best ms" "median ms" "peak RSS MB"
printf '%-14s %10s %10s %12s\n' tabulon "$t_best" "$t_med" "$(calc "$t_rss / 1024")"
printf '%-14s %10s %10s %12s\n' libreoffice "$l_best" "$l_med" "$(calc "$l_rss / 1024")"
echo "tabulon: target under 3000 ms and 300 MB"
