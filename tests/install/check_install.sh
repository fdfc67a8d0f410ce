#!/usr/bin/env bash
# The installation as a distribution makes it: `cmake --install` into a scratch prefix (or the
# Debian package from CPack), then what a desktop and a user find there.
#   check_install.sh BUILD_DIR layout|desktop_entry|metainfo|running|package
# Exits 77 (skipped, with the reason) only where a tool the check needs is not installed.
set -euo pipefail
build=$(realpath "$1")
aspect=$2
id=org.tessora.Tessora
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failures=0

fail() { echo "FAIL $*"; failures=$((failures + 1)); }
need() { command -v "$1" >/dev/null 2>&1 || { echo "skipped: $1 is not installed"; exit 77; }; }
field() { sed -n "s/^$1=//p" "$2" | head -n 1; }  # field KEY FILE (of a desktop entry)

install_into() {  # install_into PREFIX
  cmake --install "$build" --prefix "$1" >"$scratch/install.log" ||
    { cat "$scratch/install.log"; exit 1; }
}

# Waits up to ~20 s for a command to succeed.
wait_for() {
  local _
  for _ in $(seq 400); do
    "$@" >/dev/null 2>&1 && return 0
    sleep 0.05
  done
  return 1
}

check_layout() {
  local prefix=$scratch/prefix share
  install_into "$prefix"
  share=$prefix/share
  for file in bin/tessora libexec/tessora/tessora-grabs share/applications/$id.desktop \
      share/metainfo/$id.metainfo.xml share/man/man1/tessora.1.gz \
      share/icons/hicolor/scalable/apps/$id.svg share/doc/tessora/copyright; do
    [ -e "$prefix/$file" ] || fail "$file is not installed"
  done
  for size in 16 22 24 32 48 64 128 256 512; do
    local png=$share/icons/hicolor/${size}x${size}/apps/$id.png
    # The PNG header holds the width and height, big-endian, at bytes 16 and 20.
    [ "$(od -An -tu1 -j16 -N8 "$png" 2>/dev/null | tr -s ' ')" = " 0 0 $((size / 256)) $((size % 256)) 0 0 $((size / 256)) $((size % 256))" ] ||
      fail "the ${size} px icon is missing or not ${size}x${size}"
  done
  grep -q '<svg' "$share/icons/hicolor/scalable/apps/$id.svg" || fail "the scalable icon is no SVG"
  # Nothing else lands on the PATH: the helper is the program's own.
  [ "$(ls "$prefix/bin")" = tessora ] || fail "bin/ holds $(ls "$prefix/bin" | tr '\n' ' ')"

  # The installed program lists the applications beside its own entry, never itself.
  printf '[Desktop Entry]\nType=Application\nName=Other\nExec=true\n' \
    >"$share/applications/org.example.Other.desktop"
  local listed
  listed=$(XDG_DATA_HOME=$scratch/home XDG_DATA_DIRS=$share XDG_CONFIG_HOME=$scratch/config \
    "$prefix/bin/tessora" --list-apps | cut -f1)
  [ "$listed" = org.example.Other ] || fail "--list-apps printed: $listed"
  [ -z "$(XDG_DATA_DIRS=$share XDG_DATA_HOME=$scratch/home "$prefix/bin/tessora" --list-apps tessora)" ] ||
    fail "the catalog lists Tessora's own entry"

  # The newest release the metainfo names is this one; the man page says it too.
  local version release
  version=$("$prefix/bin/tessora" --version | cut -d' ' -f2)
  release=$(grep -o '<release version="[^"]*"' "$share/metainfo/$id.metainfo.xml" | head -n 1 | cut -d'"' -f2)
  [ "$release" = "$version" ] || fail "the metainfo's newest release is $release, the program is $version"
  zcat "$share/man/man1/tessora.1.gz" | grep -q "Tessora $version" || fail "the man page is not of $version"
  # Every option the program knows is in the man page.
  local option
  for option in $("$prefix/bin/tessora" --help | grep -o -- '--[a-z-]*' | sort -u); do
    zcat "$share/man/man1/tessora.1.gz" | grep -q -- "${option//-/\\\\-}" ||
      fail "the man page does not document $option"
  done
}

check_desktop_entry() {
  need desktop-file-validate
  local entry=$scratch/prefix/share/applications/$id.desktop
  install_into "$scratch/prefix"
  desktop-file-validate "$entry" || fail "desktop-file-validate found problems"
  [ "$(field Exec "$entry")" = tessora ] || fail "Exec is $(field Exec "$entry")"
  [ "$(field Icon "$entry")" = $id ] || fail "Icon is $(field Icon "$entry")"
  [ -n "$(field Categories "$entry")" ] && [ -n "$(field Keywords "$entry")" ] ||
    fail "Categories or Keywords missing"
}

check_metainfo() {
  need appstreamcli
  local metainfo=$scratch/prefix/share/metainfo/$id.metainfo.xml
  install_into "$scratch/prefix"
  appstreamcli validate --no-net --explain "$metainfo" || fail "appstreamcli found problems"
  grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" ||
    fail "the metainfo does not launch $id.desktop"
}

# On a display (run through tests/support/run_on_display.sh): the installed resident program's
# windows carry the class the desktop entry's StartupWMClass names, and the installed program
# finds its grab helper in libexec/ when a Chain strip grabs Alt+scroll.
check_running() {
  need xprop
  need xdotool
  need xterm
  local prefix=$scratch/prefix
  install_into "$prefix"
  export XDG_CONFIG_HOME=$scratch/config XDG_DATA_HOME=$scratch/home
  export XDG_DATA_DIRS=$scratch/apps:$prefix/share
  local wanted
  wanted=$(field StartupWMClass "$prefix/share/applications/$id.desktop")

  # A first start opens the first run's window.
  "$prefix/bin/tessora" 2>"$scratch/resident.log" &
  local resident=$!
  wait_for xdotool search --pid "$resident" --onlyvisible --name . ||
    fail "the resident program showed no window: $(cat "$scratch/resident.log")"
  local window class
  window=$(xdotool search --pid "$resident" --onlyvisible --name . | head -n 1)
  class=$(xprop -id "$window" WM_CLASS | sed -n 's/.*= "[^"]*", "\([^"]*\)"/\1/p')
  [ "$class" = "$wanted" ] || fail "WM_CLASS class is '$class', StartupWMClass is '$wanted'"
  kill "$resident"
  wait "$resident" 2>/dev/null || true

  # Three columns, more than the screen holds, make a strip to scroll.
  mkdir -p "$scratch/apps/applications"
  local i
  for i in 1 2 3; do
    printf '[Desktop Entry]\nType=Application\nName=Column %s\nExec=xterm -class Column%s\nStartupWMClass=Column%s\n' \
      "$i" "$i" "$i" >"$scratch/apps/applications/column$i.desktop"
  done
  "$prefix/bin/tessora" --arrange ribbon column1 column2 column3 2>"$scratch/strip.log" &
  local strip=$!
  helper_running() {
    local child
    for child in $(ps -o pid= --ppid "$strip"); do
      [ "$(readlink "/proc/$child/exe")" = "$prefix/libexec/tessora/tessora-grabs" ] && return 0
    done
    return 1
  }
  wait_for helper_running || fail "the installed program started no helper: $(cat "$scratch/strip.log")"
  if grep -q "grab helper" "$scratch/strip.log"; then
    fail "the program did not find its helper: $(cat "$scratch/strip.log")"
  fi
  kill -INT "$strip"
  wait "$strip" 2>/dev/null || true
  xdotool search --class '^Column' 2>/dev/null | while read -r term; do xdotool windowkill "$term"; done
}

check_package() {
  need dpkg-deb
  need lintian
  need dpkg-shlibdeps
  need file
  local out=$scratch/package deb
  cpack --config "$build/CPackConfig.cmake" -B "$out" >"$scratch/cpack.log" 2>&1 ||
    { cat "$scratch/cpack.log"; exit 1; }
  deb=$(ls "$out"/tessora_*.deb)
  local version depends
  version=$(sed -n 's/^project(Tessora VERSION \([0-9.]*\).*/\1/p' "$(dirname "$0")/../../CMakeLists.txt")
  [ "$(dpkg-deb --field "$deb" Package)" = tessora ] || fail "Package is not tessora"
  [ "$(dpkg-deb --field "$deb" Version)" = "$version" ] || fail "Version is not $version"
  depends=$(dpkg-deb --field "$deb" Depends)
  # Computed from the programs: Qt, GLib and xcb with their versions, not written by hand.
  for library in libc6 libqt6core6 libqt6widgets6 libglib2.0-0 libxcb1 libxcb-randr0; do
    [[ ", $depends" == *", $library "* ]] || fail "Depends lacks $library: $depends"
  done
  dpkg-deb --field "$deb" Recommends | grep -q fonts-manrope || fail "fonts-manrope is not recommended"
  dpkg-deb --contents "$deb" | awk '{ print $6 }' >"$scratch/contents"
  for file in ./usr/bin/tessora ./usr/libexec/tessora/tessora-grabs \
      ./usr/share/applications/$id.desktop ./usr/share/metainfo/$id.metainfo.xml \
      ./usr/share/icons/hicolor/scalable/apps/$id.svg ./usr/share/icons/hicolor/48x48/apps/$id.png \
      ./usr/share/man/man1/tessora.1.gz ./usr/share/doc/tessora/copyright \
      ./usr/share/doc/tessora/changelog.gz; do
    grep -qx "$file" "$scratch/contents" || fail "the package lacks $file"
  done
  # Every file is root's; the programs are stripped.
  dpkg-deb --contents "$deb" | awk '$2 != "root/root" { print }' | grep . && fail "files not owned by root"
  dpkg-deb --extract "$deb" "$scratch/tree"
  file "$scratch/tree/usr/bin/tessora" | grep -q 'not stripped' && fail "tessora is not stripped"
  lintian --fail-on error "$deb" || fail "lintian found errors"
}

case $aspect in
  layout) check_layout ;;
  desktop_entry) check_desktop_entry ;;
  metainfo) check_metainfo ;;
  running) check_running ;;
  package) check_package ;;
  *) echo "unknown aspect $aspect"; exit 2 ;;
esac
[ "$failures" -eq 0 ] || { echo "$failures check(s) failed"; exit 1; }
echo "ok: $aspect"
