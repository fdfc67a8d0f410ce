#!/usr/bin/env bash
# Times `fzf --filter` on the same synthetic names and queries as the search benchmark and
# prints both side by side, from one run. fzf's time includes starting the process and reading
# the names, which is how a script would use it; ours is one call on a loaded catalog.
set -euo pipefail
cd "$(dirname "$0")/.."
command -v fzf >/dev/null || { echo "fzf is not installed (scripts/install-deps.sh installs it)"; exit 1; }
names=$(mktemp)
trap 'rm -f "$names"' EXIT
runs=20
queries=("c" "stu" "creme ca")

ours=$(./build/bin/bench_ResultsBenchmark --benchmark_filter='^results/' --benchmark_format=csv 2>/dev/null |
  awk -F, '/^"results\// { gsub(/"/, "", $1); print $1, $3 }')

printf '%-8s %-10s %14s %14s %8s\n' apps query "tessora (us)" "fzf (us)" "fzf/ours"
for count in 1000 10000; do
  ./build/bin/synthetic_names "$count" >"$names"
  for index in "${!queries[@]}"; do
    query=${queries[$index]}
    samples=()
    for _ in $(seq "$runs"); do
      start=$(date +%s%N)
      fzf --filter "$query" <"$names" >/dev/null || true
      samples+=($(( ($(date +%s%N) - start) / 1000 )))
    done
    fzf_us=$(printf '%s\n' "${samples[@]}" | sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }')
    our_us=$(awk -v key="results/$count/$index" '$1 == key { printf "%.1f", $2 }' <<<"$ours")
    printf '%-8s %-10s %14s %14s %8.1f\n' "$count" "\"$query\"" "$our_us" "$fzf_us" \
      "$(awk -v f="$fzf_us" -v o="$our_us" 'BEGIN { print f / o }')"
  done
done
