#!/usr/bin/env bash
# Times `tessora --list-apps` over COUNT generated desktop entries (default 10000), without a
# display and, when DISPLAY is set, with it: the median and the slowest of RUNS runs (default
# 15), each a whole start of the program. A third of the entries carry translations into
# twenty languages, as a desktop installation's do. Under Xvfb and a window manager:
#   tests/x11/run_on_window_manager.sh openbox bench/list_apps.sh
set -euo pipefail
cd "$(dirname "$0")/.."
count=${1:-10000}
runs=${2:-15}
binary=${TESSORA:-build/bin/tessora}

data=$(mktemp -d)
trap 'rm -rf "$data"' EXIT
python3 - "$data/applications" "$count" <<'EOF'
import os, sys
folder, count = sys.argv[1], int(sys.argv[2])
os.makedirs(folder)
languages = ["ar", "ca", "cs", "de", "el", "es", "fi", "fr", "he", "hu",
             "it", "ja", "ko", "nl", "pl", "pt_BR", "ru", "sv", "uk", "zh_CN"]
for i in range(count):
    lines = ["[Desktop Entry]", "Type=Application", f"Name=App {i}", f"Exec=true %U",
             f"Icon=app{i}", "Categories=Utility;", "Comment=Does useful things with files"]
    if i % 3 == 0:
        for language in languages:
            lines += [f"Name[{language}]=App {i} ({language})", f"Comment[{language}]=Macht Dinge"]
    lines += ["", "[Desktop Action new]", "Name=New Window", "Exec=true --new"]
    with open(os.path.join(folder, f"app{i}.desktop"), "w") as f:
        f.write("\n".join(lines) + "\n")
EOF

# Prints "median slowest" in seconds for the command given.
measure() {
  local samples=() start
  "$@" >/dev/null  # warm the page cache
  for _ in $(seq "$runs"); do
    start=$(date +%s%N)
    "$@" >/dev/null
    samples+=($(($(date +%s%N) - start)))
  done
  printf '%s\n' "${samples[@]}" | sort -n |
    awk '{ a[NR] = $1 } END { printf "median %.3f s  slowest %.3f s\n", a[int((NR + 1) / 2)] / 1e9, a[NR] / 1e9 }'
}

export XDG_DATA_HOME=$data XDG_DATA_DIRS=/nonexistent LANG=de_DE.UTF-8
echo "--list-apps, $count entries, $runs runs"
echo "  without a display: $(measure env -u DISPLAY "$binary" --list-apps)"
if [ -n "${DISPLAY:-}" ]; then
  echo "  with display $DISPLAY: $(measure "$binary" --list-apps)"
fi
