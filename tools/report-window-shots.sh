#!/usr/bin/env bash
# Screenshots of the report window (e-mail report view, empty list, browser
# view, e-mail view after an offline start) under a virtual display, written
# to the folder given (default: shots/).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${VERADEX_BUILD_DIR:-$root/build}"
out="$(mkdir -p "${1:-$root/shots}" && cd "${1:-$root/shots}" && pwd)"
export GSETTINGS_BACKEND=memory WEBKIT_DISABLE_COMPOSITING_MODE=1 NO_AT_BRIDGE=1 LANG=C.UTF-8
if [ "$(id -u)" -eq 0 ]; then export WEBKIT_DISABLE_SANDBOX_THIS_IS_DANGEROUS=1; fi
export VERADEX_SHOT_DIR="$out"
xvfb-run -a -s "-screen 0 1024x768x24" dbus-run-session -- \
  "$build/tests/veradex_gui_tests" --gtest_filter='ReportWindowTest.Screenshots:ReportWindowTest.OfflineStart*'
ls -1 "$out"/report-window-*.png
