#!/usr/bin/env bash
# Installs every Debian 12 package that building, running and testing Veradex needs.
# Safe to run again: apt-get skips what is already there. Needs root (or sudo).
#   tools/install-deps.sh            the Linux build, its tests and package
#   tools/install-deps.sh --windows  the Windows cross-build: MinGW-w64, the host tools that
#                                    build its libraries from Debian sources, Wine and NSIS
set -euo pipefail

target=linux
case "${1:-}" in
  "") ;;
  --windows) target=windows ;;
  *)
    echo "usage: $0 [--windows]" >&2
    exit 2
    ;;
esac

linux_packages=(
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
  xvfb xauth dbus dbus-bin dbus-x11 at-spi2-core trayer x11-utils xdotool xclip
  gsettings-desktop-schemas
  # the accessibility tree of the windows, read over AT-SPI by the GUI tests
  gir1.2-atspi-2.0 python3-gi libatk1.0-dev
  # a real mail client (Korean) and a window manager for the capture test
  thunderbird thunderbird-l10n-ko openbox
  # Korean fonts for the interface, artwork tools and screenshots
  fonts-nanum librsvg2-bin imagemagick
)

windows_packages=(
  # host tools of the build (the code generators and CMake run on Linux)
  build-essential cmake ninja-build pkg-config ccache git python3 file
  # the MinGW-w64 tool chain with POSIX threads (std::thread), zlib for it
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix mingw-w64-x86-64-dev mingw-w64-tools
  binutils-mingw-w64-x86-64 libz-mingw-w64-dev
  # fetching and unpacking Debian source packages; what their builds need on the host
  dpkg-dev xz-utils bzip2 ca-certificates tcl perl make autoconf automake libtool gettext
  # ... and what the mail libraries' builds need (GLib's meson, GMime's autoreconf)
  meson gtk-doc-tools autopoint debian-archive-keyring
  # GoogleTest's sources (cross-built like the libraries)
  googletest
  # running the tests and the installed program, making the installer
  wine wine64 nsis xvfb xauth x11-utils fonts-nanum
)

if [ "$target" = windows ]; then
  packages=("${windows_packages[@]}")
else
  packages=("${linux_packages[@]}")
fi

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
