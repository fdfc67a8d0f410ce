#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for FUZZ_SECONDS on a scratch copy of
# its seed corpus (new inputs never land in the repository). A crash fails the run and leaves
# the crashing input in build-fuzz/crashes/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${FUZZ_SECONDS:-20}

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$(nproc)"

mkdir -p build-fuzz/crashes
for fuzzer in build-fuzz/bin/*_fuzz; do
  name=$(basename "$fuzzer" _fuzz)
  scratch=$(mktemp -d)
  trap 'rm -rf "$scratch"' EXIT
  echo "fuzzing $name for ${seconds}s"
  "$fuzzer" -max_total_time="$seconds" -print_final_stats=0 -artifact_prefix=build-fuzz/crashes/ \
    "$scratch" "tests/fuzz/corpus/$name" 2>"build-fuzz/$name.log" || {
    tail -n 40 "build-fuzz/$name.log"; echo "fuzz target $name failed"; exit 1; }
  grep -E '^#[0-9]+.*DONE' "build-fuzz/$name.log" | tail -n 1 || true
  rm -rf "$scratch"
done
