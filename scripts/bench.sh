#!/usr/bin/env bash
# Side-by-side benchmark of writing the workload W(N) (N rows x 10 columns:
# five number columns, five short-text columns), each writer run as its own
# process so wall time and peak RSS are measured alike from outside:
#   tabulon          Tabulon, cell by cell through the range interface, .xls
#   tabulon-bulk     Tabulon, blocks of 1,000 rows written as 2-D arrays
#   floor            the same number of bytes written raw, no format logic
#   floor-durable    the same bytes saved as SaveAs saves: temporary file,
#                    fsync, rename over the target, folder flushed
#   xlsxwriter       libxlsxwriter, normal mode, .xlsx
#   xlsxwriter-cm    libxlsxwriter, constant-memory mode, .xlsx
# Then the large workload: 16 sheets of W(65,536), 10.5 million cells, with
# the time per cell against W(65,000)'s and the peak memory of SaveAs above
# the filled workbook's.
# Usage: scripts/bench.sh [N ...]      (default: 5000 65000)
# Environment: REPEATS (default 5; the best and the median wall time are shown).
set -euo pipefail
cd "$(dirname "$0")/.."

sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(5000 65000)
repeats=${REPEATS:-5}
. scripts/bench-build.sh bench_tabulon bench_floor bench_run bench_xlsxwriter

calc() { awk "BEGIN { printf \"%.1f\", $1 }"; }

run() {  # run NAME COMMAND... -> "best median rss" of that command
  "$bin/bench_run" "$repeats" "$@"
}

# Median over REPEATS runs of the "writes" phase of bench_tabulon ARGS: the
# time spent writing values, without making them or saving.
writes_median() {
  for _ in $(seq "$repeats"); do
    "$bin/bench_tabulon" "$@" --phases 2>&1 >/dev/null | sed -n 's/.*(writes \([0-9.]*\) ms).*/\1/p'
  done | sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

echo "date: $(date -u '+%Y-%m-%d %H:%M UTC'); $(nproc) cores; load average: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "repeats: $repeats (wall ms: best / median of the runs; peak RSS: the largest)"
for n in "${sizes[@]}"; do
  sync  # earlier writes reach the disk first, so no save waits for them
  read -r t_best t_med t_rss < <(run "$bin/bench_tabulon" "$n" "$work/tabulon.xls")
  read -r b_best b_med b_rss < <(run "$bin/bench_tabulon" "$n" "$work/bulk.xls" --bulk)
  bytes=$(stat -c %s "$work/tabulon.xls")
  read -r f_best f_med f_rss < <(run "$bin/bench_floor" "$bytes" "$work/floor.bin")
  read -r d_best d_med d_rss < <(run "$bin/bench_floor" "$bytes" "$work/durable.bin" --durable)
  read -r x_best x_med x_rss < <(run "$bin/bench_xlsxwriter" "$n" "$work/normal.xlsx")
  read -r c_best c_med c_rss < <(run "$bin/bench_xlsxwriter" "$n" "$work/cm.xlsx" --constant-memory)
  echo
  echo "W($n): $((n * 10)) cells; Tabulon file $bytes bytes"
  printf '%-16s %10s %10s %12s\n' writer "best ms" "median ms" "peak RSS MB"
  for row in "tabulon $t_best $t_med $t_rss" "tabulon-bulk $b_best $b_med $b_rss" \
             "floor $f_best $f_med $f_rss" \
             "floor-durable $d_best $d_med $d_rss" \
             "xlsxwriter $x_best $x_med $x_rss" "xlsxwriter-cm $c_best $c_med $c_rss"; do
    set -- $row
    printf '%-16s %10s %10s %12s\n' "$1" "$2" "$3" "$(calc "$4 / 1024")"
  done
  echo "tabulon / floor (best):             $(calc "$t_best / $f_best") x   (target: at most 4)"
  echo "tabulon / floor-durable (best):     $(calc "$t_best / $d_best") x"
  echo "xlsxwriter-cm / tabulon (best):     $(calc "$c_best / $t_best") x   (target: at least 4)"
  echo "xlsxwriter / tabulon (best):        $(calc "$x_best / $t_best") x"
  cell_writes=$(writes_median "$n" "$work/tabulon.xls")
  bulk_writes=$(writes_median "$n" "$work/bulk.xls" --bulk)
  echo "writes cell by cell / in blocks:    $cell_writes / $bulk_writes ms (medians)," \
    "$(calc "$cell_writes / $bulk_writes") x   (target: at least 2)"
  echo "tabulon peak RSS:                   $(calc "$t_rss / 1024") MB (target: under 120)"
  echo "phases, cell by cell: $("$bin/bench_tabulon" "$n" "$work/tabulon.xls" --phases 2>&1)"
  echo "phases, in blocks:    $("$bin/bench_tabulon" "$n" "$work/bulk.xls" --phases --bulk 2>&1)"
done

large_repeats=$(( repeats < 3 ? repeats : 3 ))
sync
read -r w_best w_med w_rss < <(run "$bin/bench_tabulon" 65000 "$work/w.xls")
read -r g_best g_med g_rss < <("$bin/bench_run" "$large_repeats" "$bin/bench_tabulon" 65536 \
  "$work/large.xls" --sheets 16)
phases=$("$bin/bench_tabulon" 65536 "$work/large.xls" --sheets 16 --phases 2>&1)
filled=$(sed -n 's/.*filled \([0-9.]*\) MB.*/\1/p' <<<"$phases")
peak=$(sed -n 's/.*save peak \([0-9.]*\) MB.*/\1/p' <<<"$phases")
echo
echo "16 sheets x W(65,536): 10,485,760 cells; file $(stat -c %s "$work/large.xls") bytes"
echo "median ms: $g_med (W(65,000): $w_med); peak RSS $(calc "$g_rss / 1024") MB"
echo "ns per cell: $(calc "$g_med * 1e6 / 10485760") (W(65,000): $(calc "$w_med * 1e6 / 650000"));" \
  "ratio $(calc "($g_med / 10485760) / ($w_med / 650000)") (target: at most 1.25)"
echo "phases: $phases"
echo "SaveAs peak above the filled workbook: $(calc "$peak - $filled") MB (target: at most 16)"
