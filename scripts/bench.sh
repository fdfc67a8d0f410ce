#!/usr/bin/env bash
# Runs every benchmark, compares the search with fzf on the same names and queries, and times
# `tessora --list-apps` over 10,000 entries.
set -euo pipefail
cd "$(dirname "$0")/.."
for bench in build/bin/bench_*; do
  echo "== $(basename "$bench")"
  case $bench in
    *SettingsWindow*) tests/support/run_on_display.sh "$bench" --benchmark_counters_tabular=true ;;
    *) "$bench" --benchmark_counters_tabular=true ;;
  esac
done
# Arranging again under xfwm4, whose habits differ from openbox's (skipped where it cannot run).
echo "== bench_ArrangeBenchmark under xfwm4"
status=0
tests/x11/run_on_window_manager.sh "xfwm4 --compositor=off" build/bin/bench_ArrangeBenchmark \
  --benchmark_counters_tabular=true || status=$?
[ "$status" -eq 0 ] || [ "$status" -eq 77 ]
./bench/compare_fzf.sh
# Listing 10,000 installed entries from the command line, each run a whole start of the program.
./bench/list_apps.sh
