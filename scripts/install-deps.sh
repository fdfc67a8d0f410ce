#!/usr/bin/env bash
# Installs everything Tessora needs to build, test and run on Debian 12.
# Idempotent: packages already present are left alone; apt runs only when something is missing.
set -euo pipefail

packages=(
  # toolchain
  build-essential cmake ninja-build pkg-config clang-14 libclang-rt-14-dev
  # libraries
  qt6-base-dev libqt6svg6 libglib2.0-dev libsodium-dev
  libxcb1-dev libxcb-ewmh-dev libxcb-icccm4-dev libxcb-keysyms1-dev libxcb-randr0-dev
  libxcb-xinput-dev libxcb-shape0-dev libxcb-xtest0-dev libxkbcommon-dev
  # tests and benchmarks
  libgtest-dev libgmock-dev libbenchmark-dev fzf
  # a real X session for the window tests and `make run` on headless machines
  xvfb xauth openbox trayer xdotool xterm xfonts-base x11-apps x11-utils x11-xserver-utils imagemagick dbus
  # the other window managers the end-to-end tests run under
  xfwm4 fluxbox icewm mutter kwin-x11
  # the accessibility bus and its Python client, to drive the windows as a screen reader does
  at-spi2-core python3-pyatspi
  # real applications for the window tests: a GTK header-bar window, a Qt window
  gnome-calculator featherpad
  # the update tests: a throwaway certificate authority and an https server
  openssl python3
  # typeface and icons
  fonts-manrope hicolor-icon-theme
  # the icon drawn at build time as SVG (Qt SVG's generator)
  qt6-svg-dev
  # checks of the installed desktop entry and metainfo
  desktop-file-utils
  appstream
  # the Debian package: CPack's dependency scan, its checks
  dpkg-dev
  fakeroot
  file
  lintian
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
