#!/usr/bin/env bash
# The main job: lists this machine's installed applications, ranked for the optional query.
set -euo pipefail
cd "$(dirname "$0")/.."
exec ./build/bin/tessora --list-apps "$@"
