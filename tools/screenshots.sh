#!/usr/bin/env bash
# Pictures of the program's windows for a person to look at, taken under a
# virtual display by the GUI tests of one suite.
#
# Usage: tools/screenshots.sh <suite> [output folder]
#   skin           the skinned toolkit's windows and controls
#   dialogs        the log-in, password set-up and settings dialogs (each page)
#   report-window  the report window: e-mail view with and without files, the preview strip
#                  (a file that is no mail, a long Korean subject), browser view, offline start,
#                  the focus ring
#   pages          the eight report form pages at the browser area's 610 x 490
#   window-pages   the eight report form pages inside the report window
#   history        the report history window (with waiting reports), the list's
#                  mail summaries and the outbox question
#   app            the whole program on its own displays with a tray host:
#                  second copy, tray menu, exit question, start-up dialogs
#   readme         the README's pictures (report window in both views, settings,
#                  tray menu) of the real program against the sandbox centre, into docs/
#   all            every suite above but readme, each into a folder of its own name
#
# The folder is the second argument, else $VERADEX_SCREENSHOT_DIR, else
# build/screenshots/<suite>. The tests write there only when
# VERADEX_SCREENSHOT_DIR is set, which this script does.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${VERADEX_BUILD_DIR:-$root/build}"

filter_of() {
  case "$1" in
    skin) echo 'SkinScreenshots.*' ;;
    dialogs) echo 'DialogScreenshots.*' ;;
    report-window) echo 'ReportWindowTest.Screenshots:ReportWindowTest.OfflineStart*:KeyboardNavigationTest.FocusScreenshots' ;;
    pages) echo 'CategoryPagesGui.*' ;;
    window-pages) echo 'CategoryRoundTrip.Screenshots' ;;
    history) echo 'ReportHistoryGuiTest.*:OutboxHistoryTest.*:OutboxQuestionTest.*' ;;
    app) echo 'ProgramStartTest.*' ;;
    *) return 1 ;;
  esac
}
suites=(skin dialogs report-window pages window-pages history app)

usage() {
  sed -n '5,17p' "$0" | sed 's/^# \{0,1\}//' >&2
  exit 2
}

[ $# -ge 1 ] || usage
suite="$1"
if [ "$suite" = readme ]; then exec "$root/tools/lib/readme-shots.sh" "${2:-$root/docs}"; fi
if [ "$suite" != all ] && ! filter_of "$suite" >/dev/null; then
  echo "screenshots.sh: unknown suite '$suite'" >&2
  usage
fi

source "$root/tools/lib/headless-env.sh"
targets=(veradex_gui_tests)
if [ "$suite" = app ] || [ "$suite" = all ]; then targets+=(veradex); fi
cmake --build "$build" --target "${targets[@]}" -j2

shoot() {  # suite folder
  mkdir -p "$2"
  local folder
  folder="$(cd "$2" && pwd)"
  VERADEX_SCREENSHOT_DIR="$folder" headless_run "$build/tests/veradex_gui_tests" --gtest_filter="$(filter_of "$1")"
  echo "screenshots ($1) in $folder:"
  ls -1 "$folder" | grep '\.png$' || echo "  (none)"
}

if [ "$suite" = all ]; then
  base="${2:-${VERADEX_SCREENSHOT_DIR:-$build/screenshots}}"
  for s in "${suites[@]}"; do shoot "$s" "$base/$s"; done
else
  shoot "$suite" "${2:-${VERADEX_SCREENSHOT_DIR:-$build/screenshots/$suite}}"
fi
