#!/usr/bin/env bash
# Builds the Windows core tests (tools/build-windows.sh) and runs them
# under Wine through CTest, without a display. Arguments go to ctest, e.g.
#   tools/test-windows.sh -R TcpSocket
# Tests labelled "not-under-wine" or "windows-open" are left out (tests/core/wine-exclusions.cmake
# says why).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${VERADEX_WIN_BUILD_DIR:-$root/build-windows}"
"$root/tools/build-windows.sh" --target veradex_core_tests
source "$root/tools/lib/wine-env.sh"
wine_start "$build/wine"
trap wine_stop EXIT
cd "$build"
env -u DISPLAY ctest --output-on-failure --timeout 300 -j"$(nproc)" -LE "not-under-wine|windows-open" "$@"
