#!/usr/bin/env bash
# Cross-builds Veradex for 64-bit Windows into build-windows/ (or $VERADEX_WIN_BUILD_DIR):
# the Debian packages of the tool chain (tools/install-deps.sh --windows), the libraries from
# Debian sources (tools/build-windows-deps.sh and, for the mail summaries,
# tools/build-windows-mail-deps.sh, both cached), then the program, its page templates and
# the core tests. Extra arguments go to CMake's configure step.
#   tools/build-windows.sh --installer      also makes build-windows/Veradex-<version>-setup.exe
#   tools/build-windows.sh --target NAME    builds that target only (e.g. veradex_core_tests)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${VERADEX_WIN_BUILD_DIR:-$root/build-windows}"
installer=0
targets=()
while [ $# -gt 0 ]; do
  case "$1" in
    --installer) installer=1 ;;
    --target)
      targets=(--target "$2")
      shift
      ;;
    *) break ;;
  esac
  shift
done
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$root}"

"$root/tools/install-deps.sh" --windows
deps="$("$root/tools/build-windows-deps.sh" | tail -1)"
mail_deps="$("$root/tools/build-windows-mail-deps.sh" | tail -1)"

# Build-time tools (the artwork embedder) run under Wine: its services first, in a prefix of
# the build's own, with their output sent away (see tools/lib/wine-env.sh).
source "$root/tools/lib/wine-env.sh"
wine_start "$build/wine"
trap wine_stop EXIT

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
  -DVERADEX_WIN_DEPS="$deps" -DVERADEX_WIN_MAIL_DEPS="$mail_deps" -DCMAKE_BUILD_TYPE="${CMAKE_BUILD_TYPE:-Release}" "$@"
cmake --build "$build" --parallel "$(nproc)" "${targets[@]}"
if [ "$installer" = 1 ]; then
  cmake --build "$build" --target veradex_installer
fi
