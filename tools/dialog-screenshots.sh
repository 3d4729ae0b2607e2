#!/usr/bin/env bash
# Pictures of the log-in, password set-up and settings dialogs (each page),
# taken under a virtual display: tools/dialog-screenshots.sh [output folder]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${VERADEX_BUILD_DIR:-$root/build}"
out="$(realpath -m "${1:-$build/screenshots}")"
mkdir -p "$out"
cmake --build "$build" --target veradex_gui_tests -j2
export GSETTINGS_BACKEND=memory NO_AT_BRIDGE=1 LANG=C.UTF-8 VERADEX_SHOT_DIR="$out"
xvfb-run -a -s "-screen 0 1280x1024x24" dbus-run-session -- \
  "$build/tests/veradex_gui_tests" --gtest_filter='DialogScreenshots.*'
ls -1 "$out"/*.png
