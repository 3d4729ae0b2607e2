#!/usr/bin/env bash
# Pictures of the report history window and of the attachment list with its
# mail summaries, taken under a virtual display: tools/history-shots.sh [output folder]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${VERADEX_BUILD_DIR:-$root/build}"
out="$(realpath -m "${1:-$build/screenshots}")"
mkdir -p "$out"
cmake --build "$build" --target veradex_gui_tests -j2
export GSETTINGS_BACKEND=memory NO_AT_BRIDGE=1 LANG=C.UTF-8 WEBKIT_DISABLE_COMPOSITING_MODE=1 \
  WEBKIT_DISABLE_SANDBOX_THIS_IS_DANGEROUS=1 VERADEX_SHOT_DIR="$out"
xvfb-run -a -s "-screen 0 1280x1024x24" dbus-run-session -- \
  "$build/tests/veradex_gui_tests" --gtest_filter='ReportHistoryGuiTest.*'
ls -1 "$out"/history-window.png "$out"/report-window-summaries.png
