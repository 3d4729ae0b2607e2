#!/usr/bin/env bash
# Takes pictures of the skinned toolkit's windows under a virtual display.
# Usage: tools/screenshots.sh [output folder]   (default: build/screenshots)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${VERADEX_BUILD_DIR:-$root/build}"
out="${1:-$build/screenshots}"
mkdir -p "$out"
out="$(cd "$out" && pwd)"
cmake --build "$build" --target veradex_gui_tests -j2
export GSETTINGS_BACKEND=memory NO_AT_BRIDGE=1 LANG=C.UTF-8
# The root window stays black, so the cut-away corners of the shaped windows show.
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
  VERADEX_SCREENSHOT_DIR="'"$out"'" dbus-run-session -- "'"$build"'/tests/veradex_gui_tests" \
    --gtest_filter="SkinScreenshots.*"'
ls -1 "$out"/*.png
