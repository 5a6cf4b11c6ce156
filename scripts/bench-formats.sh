#!/usr/bin/env bash
# Side-by-side benchmark of the two file formats: each workload saved as
# BIFF5 and as BIFF8, each program run as its own process through bench_run,
#   w        bench_tabulon 65000: W(65,000) cell by cell
#   export   bench_export: the formatted export of the 65,000 bench records
# in ROUNDS rounds of REPEATS runs per program; within a round the two
# formats run back to back, the first of them alternating from round to
# round, so that a drift of the machine weighs on both. Per round the ratio
# BIFF8 / BIFF5 of the median wall times; the median of those ratios and the
# ratio of the peak RSS are the figures of the targets (at most 1.25 each).
# Usage: scripts/bench-formats.sh     Environment: ROUNDS (default 5), REPEATS (default 5).
set -euo pipefail
cd "$(dirname "$0")/.."

rounds=${ROUNDS:-5}
repeats=${REPEATS:-5}
. scripts/bench-build.sh bench_tabulon bench_export bench_run

sqlite3 "$work/bench.db" < examples/orders.sql
sqlite3 "$work/bench.db" < bench/export_bench.sql
sync  # the setup's writes reach the disk before the timed saves

calc() { awk "BEGIN { printf \"%.2f\", $1 }"; }
median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

command_of() {  # command_of WORKLOAD FORMAT -> the program and its arguments
  case $1 in
    w) echo "$bin/bench_tabulon 65000 $work/w-$2.xls --format $2" ;;
    export) echo "$bin/bench_export $work/bench.db $work/export-$2.xls --format $2" ;;
  esac
}

echo "date: $(date -u '+%Y-%m-%d %H:%M UTC'); $(nproc) cores; load average: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "rounds: $rounds of $repeats runs per program (wall ms: median of a round's runs)"
for workload in w export; do
  ratios=()
  declare -A med=() rss=([biff5]=0 [biff8]=0)
  printf '\n%-8s %6s %12s %12s %8s\n' "$workload" round "BIFF5 ms" "BIFF8 ms" ratio
  for round in $(seq "$rounds"); do
    formats=(biff5 biff8)
    [ $((round % 2)) -eq 0 ] && formats=(biff8 biff5)
    for format in "${formats[@]}"; do
      read -r _ median_ms peak_kib < <($bin/bench_run "$repeats" $(command_of "$workload" "$format"))
      med[$format]=$median_ms
      rss[$format]=$((peak_kib > rss[$format] ? peak_kib : rss[$format]))
    done
    ratio=$(calc "${med[biff8]} / ${med[biff5]}")
    ratios+=("$ratio")
    printf '%-8s %6s %12s %12s %8s\n' "" "$round" "${med[biff5]}" "${med[biff8]}" "$ratio"
  done
  echo "$workload: files $(stat -c %s "$work/$workload-biff5.xls") / $(stat -c %s "$work/$workload-biff8.xls") bytes (BIFF5 / BIFF8)"
  echo "$workload: BIFF8 / BIFF5 wall time, median of the rounds: $(printf '%s\n' "${ratios[@]}" | median) (target: at most 1.25)"
  echo "$workload: peak RSS $(calc "${rss[biff5]} / 1024") / $(calc "${rss[biff8]} / 1024") MB, BIFF8 / BIFF5 $(calc "${rss[biff8]} / ${rss[biff5]}") (target: at most 1.25)"
done
