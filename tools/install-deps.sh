#!/usr/bin/env bash
# Installs every Debian 12 package that building, running and testing Veradex needs.
# Safe to run again: apt-get skips what is already there. Needs root (or sudo).
set -euo pipefail

packages=(
  # tool chain
  build-essential cmake ninja-build pkg-config ccache git clang-format python3
  # libraries
  libwxgtk3.2-dev libwxgtk-webview3.2-dev libwebkit2gtk-4.0-dev libssl-dev openssl libx11-dev libxtst-dev
  # mail summaries (.eml, .msg) and the report history
  libgmime-3.0-dev libgsf-1-dev libsqlite3-dev
  # installation checks and the Debian package (cpack, dpkg-shlibdeps, lintian)
  dpkg-dev file desktop-file-utils appstream lintian sqlite3
  # tests and benchmarks
  libgtest-dev libgmock-dev googletest libbenchmark-dev curl libcurl4-openssl-dev
  # a display, a session bus and a tray host for the GUI tests
  xvfb xauth dbus dbus-bin dbus-x11 at-spi2-core trayer x11-utils xdotool
  gsettings-desktop-schemas
  # the accessibility tree of the windows, read over AT-SPI by the GUI tests
  gir1.2-atspi-2.0 python3-gi libatk1.0-dev
  # a real mail client (Korean) and a window manager for the capture test
  thunderbird thunderbird-l10n-ko openbox
  # Korean fonts for the interface, artwork tools and screenshots
  fonts-nanum librsvg2-bin imagemagick
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ "${#missing[@]}" -eq 0 ]; then
  echo "install-deps: all packages present"
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q
$SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
