#!/usr/bin/env bash
# Builds everything with warnings as errors, runs each fuzz target briefly on its seed corpus,
# then runs every test through CTest.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

cmake --preset ci >/dev/null
cmake --build --preset ci -j "$jobs"

FUZZ_SECONDS=${FUZZ_SECONDS:-15} ./scripts/fuzz.sh

ctest --test-dir build -j "$jobs" --output-on-failure
