#!/usr/bin/env bash
# Screenshots of the eight report form pages inside the report window (the
# window talking to the test report centre), into screenshots/window-pages/
# (or $1).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${VERADEX_BUILD_DIR:-$root/build}"
out="$(mkdir -p "${1:-$root/screenshots/window-pages}" && cd "${1:-$root/screenshots/window-pages}" && pwd)"
export GSETTINGS_BACKEND=memory WEBKIT_DISABLE_COMPOSITING_MODE=1 NO_AT_BRIDGE=1 LANG=C.UTF-8
if [ "$(id -u)" -eq 0 ]; then export WEBKIT_DISABLE_SANDBOX_THIS_IS_DANGEROUS=1; fi
VERADEX_SHOT_DIR="$out" xvfb-run -a -s "-screen 0 1280x1024x24" dbus-run-session -- \
  "$build/tests/veradex_gui_tests" --gtest_filter='CategoryRoundTrip.Screenshots'
ls -1 "$out"/window-*.png
