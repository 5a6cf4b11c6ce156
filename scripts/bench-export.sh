#!/usr/bin/env bash
# Side-by-side benchmark of the formatted export: 65,000 records x 10 fields
# (five numbers, three texts, a date, an amount in currency) from the SQLite
# sample, with a bold white-on-navy header and thin borders on every cell:
#   tabulon        bench_export: TDataset2Excel over the SQLite query, .xls
#   xlsxwriter     libxlsxwriter from the same query, header format and one
#                  border format on every cell, normal mode, .xlsx
#   xlsxwriter-cm  the same in constant-memory mode
#   libreoffice    soffice --headless --convert-to xls of the same records as CSV
#   plain W        bench_tabulon 65000: Tabulon writing W(65,000) unformatted,
#                  the yardstick of the "formatting costs little" target
# Each is run as its own process and timed from outside by bench_run (wall
# time; peak RSS of the process and the children it waits for).
# Usage: scripts/bench-export.sh     Environment: REPEATS (default 3).
set -euo pipefail
cd "$(dirname "$0")/.."

repeats=${REPEATS:-3}
. scripts/bench-build.sh bench_export bench_run bench_tabulon bench_xlsxwriter_export

sqlite3 "$work/bench.db" < examples/orders.sql
sqlite3 "$work/bench.db" < bench/export_bench.sql
sqlite3 -header -csv "$work/bench.db" "SELECT * FROM bench ORDER BY id" > "$work/bench.csv"
records=$(sqlite3 "$work/bench.db" "SELECT count(*) FROM bench")
# The setup's own writes reach the disk first: the saves below flush their
# files, and the file system would make the first of them wait for these.
sync

calc() { awk "BEGIN { printf \"%.1f\", $1 }"; }
run() { "$bin/bench_run" "$repeats" "$@"; }

echo "date: $(date -u '+%Y-%m-%d %H:%M UTC'); $(nproc) cores; load average: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "repeats: $repeats (wall ms: best / median of the runs; peak RSS: the largest)"
"$bin/bench_export" "$work/bench.db" "$work/tabulon.xls" --phases
read -r t_best t_med t_rss < <(run "$bin/bench_export" "$work/bench.db" "$work/tabulon.xls")
read -r w_best w_med w_rss < <(run "$bin/bench_tabulon" 65000 "$work/plain.xls")
read -r x_best x_med x_rss < <(run "$bin/bench_xlsxwriter_export" "$work/bench.db" "$work/x.xlsx")
read -r c_best c_med c_rss < <(run "$bin/bench_xlsxwriter_export" "$work/bench.db" "$work/cm.xlsx" \
  --constant-memory)
# A private profile, so no running LibreOffice takes the job over; the first
# run creates it and is not timed. soffice reports on stdout, which the
# runner keeps for its own figures.
soffice_cmd="exec /usr/bin/soffice -env:UserInstallation=file://$work/profile --headless \
  --convert-to xls --outdir $work/lo $work/bench.csv >/dev/null 2>&1"
/bin/sh -c "$soffice_cmd"
read -r l_best l_med l_rss < <(run /bin/sh -c "$soffice_cmd")
echo
echo "export of $records records x 10 fields; Tabulon file $(stat -c %s "$work/tabulon.xls") bytes"
printf '%-14s %10s %10s %12s\n' writer "best ms" "median ms" "peak RSS MB"
for row in "tabulon $t_best $t_med $t_rss" "plain-W $w_best $w_med $w_rss" \
           "xlsxwriter $x_best $x_med $x_rss" "xlsxwriter-cm $c_best $c_med $c_rss" \
           "libreoffice $l_best $l_med $l_rss"; do
  set -- $row
  printf '%-14s %10s %10s %12s\n' "$1" "$2" "$3" "$(calc "$4 / 1024")"
done
echo "tabulon / plain W(65,000) (median):   $(calc "$t_med / $w_med") x   (target: at most 2)"
echo "xlsxwriter-cm / tabulon (median):     $(calc "$c_med / $t_med") x   (target: at least 4)"
echo "xlsxwriter / tabulon (median):        $(calc "$x_med / $t_med") x"
echo "tabulon peak RSS:                     $(calc "$t_rss / 1024") MB (target: under 120)"
