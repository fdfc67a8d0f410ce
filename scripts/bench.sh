#!/usr/bin/env bash
# Runs every benchmark, then compares the search with fzf on the same names and queries.
set -euo pipefail
cd "$(dirname "$0")/.."
for bench in build/bin/bench_*; do
  echo "== $(basename "$bench")"
  "$bench" --benchmark_counters_tabular=true
done
./bench/compare_fzf.sh
