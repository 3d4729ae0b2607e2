#!/usr/bin/env bash
# Runs the whole program on private virtual displays (with a tray host) and
# keeps pictures of what the user sees: the second copy's message, the tray
# menu, the exit question, the start-up dialogs.
# Usage: tools/app_screenshots.sh [output folder]   (default: build/screenshots/app)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${VERADEX_BUILD_DIR:-$root/build}"
out="${1:-$build/screenshots/app}"
mkdir -p "$out"
out="$(cd "$out" && pwd)"
cmake --build "$build" --target veradex veradex_gui_tests -j2
export GSETTINGS_BACKEND=memory NO_AT_BRIDGE=1 LANG=C.UTF-8 WEBKIT_DISABLE_COMPOSITING_MODE=1
# WebKitGTK refuses to start its sandbox as root; switch it off for the tests only.
if [ "$(id -u)" -eq 0 ]; then export WEBKIT_DISABLE_SANDBOX_THIS_IS_DANGEROUS=1; fi
VERADEX_SCREENSHOT_DIR="$out" xvfb-run -a -s "-screen 0 1280x1024x24" \
  dbus-run-session -- "$build/tests/veradex_gui_tests" --gtest_filter='ProgramStartTest.*'
ls -1 "$out"/*.png
