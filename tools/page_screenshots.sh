#!/usr/bin/env bash
# Screenshots of the eight report form pages at the browser area's 610 x 490,
# as the embedded browser shows them, into screenshots/pages/ (or $1).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${VERADEX_BUILD_DIR:-$root/build}"
out="$(mkdir -p "${1:-$root/screenshots/pages}" && cd "${1:-$root/screenshots/pages}" && pwd)"
export GSETTINGS_BACKEND=memory WEBKIT_DISABLE_COMPOSITING_MODE=1 NO_AT_BRIDGE=1 LANG=C.UTF-8
if [ "$(id -u)" -eq 0 ]; then export WEBKIT_FORCE_SANDBOX=0 WEBKIT_DISABLE_SANDBOX_THIS_IS_DANGEROUS=1; fi
VERADEX_SHOT_DIR="$out" xvfb-run -a -s "-screen 0 1280x1024x24" dbus-run-session -- \
  "$build/tests/veradex_gui_tests" --gtest_filter='CategoryPagesGui.*'
echo "page_screenshots: written to $out"
