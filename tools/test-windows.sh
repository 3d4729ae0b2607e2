#!/usr/bin/env bash
# Builds the Windows core tests (tools/build-windows.sh) and runs them
# under Wine through CTest: first those that need no display, without one,
# then those labelled "wine-display" (they open windows) on a virtual X
# display (Xvfb). Arguments go to ctest, e.g.
#   tools/test-windows.sh -R TcpSocket
# Tests labelled "not-under-wine" or "windows-open" are left out (tests/core/wine-exclusions.cmake
# says why). Without arguments, and when the Linux build has the sandbox centre
# (tools/build.sh), the whole program's session under Wine follows
# (tools/test-windows-session.sh).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${VERADEX_WIN_BUILD_DIR:-$root/build-windows}"
"$root/tools/build-windows.sh" --target veradex_core_tests
source "$root/tools/lib/wine-env.sh"
wine_start "$build/wine"
trap wine_stop EXIT
cd "$build"
# As on Linux, a test that fails is run once more before it counts as failed:
# CI saw one core test (a comparison of two strings in memory, passing before
# and after on the same build) fail once under Wine, which runs each test as
# a new Windows process on a loaded two-core machine. Every first failure
# still shows in the output.
env -u DISPLAY ctest --output-on-failure --timeout 300 -j"$(nproc)" --repeat until-pass:2 \
  -LE "not-under-wine|windows-open|wine-display" "$@"
# Wine's services of the first run have no display: a new server for these.
wine_stop
args=""
if [ $# -gt 0 ]; then args="$(printf '%q ' "$@")"; fi
status=0
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c "source '$root/tools/lib/wine-env.sh' && wine_start '$build/wine' &&
  ctest --output-on-failure --timeout 300 --repeat until-pass:2 -L wine-display -LE 'not-under-wine|windows-open' $args; status=\$?;
  wine_stop; exit \$status" || status=$?
linux_build="${VERADEX_BUILD_DIR:-$root/build}"
if [ $# -eq 0 ] && [ -x "$linux_build/src/centre/veradex-centre" ]; then
  "$root/tools/build-windows.sh" --target veradex
  "$root/tools/test-windows-session.sh" || status=$?
fi
exit $status
