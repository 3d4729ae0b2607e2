#!/usr/bin/env bash
# The capture button of the Windows program, end to end under Wine on a
# virtual display: veradex.exe (build-windows) starts in a new Wine prefix
# against the sandbox centre (the Linux build's veradex-centre on loopback,
# for its version check), our own test mail client shows Outlook Express's
# window, the capture button of the report window is clicked, and the
# message the client saved must be in the program's temp folder, named as
# the client proposed plus four hexadecimal digits and ".eml", byte for byte.
# Needs both builds: tools/build.sh, and build-windows with the targets
# veradex and veradex_core_tests. A picture of the screen afterwards goes to
# build-windows/capture-under-wine.png.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${VERADEX_BUILD_DIR:-$root/build}"
winbuild="${VERADEX_WIN_BUILD_DIR:-$root/build-windows}"
if [ -z "${VERADEX_CAPTURE_DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" env VERADEX_CAPTURE_DISPLAY=1 "$0" "$@"
fi
for f in "$build/src/centre/veradex-centre" "$winbuild/veradex.exe" "$winbuild/tests/veradex_test_mailclient.exe"; do
  [ -x "$f" ] || [ -f "$f" ] || { echo "missing: $f" >&2; exit 1; }
done

work="$(mktemp -d)"
source "$root/tools/lib/wine-program.sh"
program_under_wine "$work"
# Past the first-run set-up.
reg environments setup 1
reg environments PW ""

# The mail the client saves (raw code page 949 in the body).
printf 'From: a@example.com\r\nSubject: capture\r\n\r\n\xb1\xa4\xb0\xed\r\n' >"$work/mail.src"
(cd "$work/app" && exec wine "$work/app/veradex.exe" >"$work/veradex.log" 2>&1 </dev/null) &

# The first shown window of that name (within 30 seconds).
window() {
  local id
  for _ in $(seq 300); do
    id="$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1 || true)"
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  echo "FAILED: no window \"$1\" (the screen: $winbuild/capture-under-wine.png)" >&2
  import -window root "$winbuild/capture-under-wine.png" || true
  cat "$work/veradex.log" >&2
  return 1
}
report="$(window Dunmere)"
(exec wine "$winbuild/tests/veradex_test_mailclient.exe" --client outlook --field combo \
  --name "$(printf '\xea\xb4\x91\xea\xb3\xa0 \xeb\xa9\x94\xec\x9d\xbc.eml')" --mail "$(winepath -w "$work/mail.src")" \
  >"$work/client.log" 2>&1 </dev/null) &
window "Outlook Express" >/dev/null

# The e-mail view, then the capture button. A warning the web view may show
# (the sandbox's authority is not Windows') is answered "No" first; the
# clicks are tried again until the file is there.
saved=""
for attempt in 1 2 3; do
  for warning in $(xdotool search --name "^Security Warning\$" 2>/dev/null || true); do
    # Its "No" button.
    eval "$(xdotool getwindowgeometry --shell "$warning")"
    xdotool mousemove $((X + 223)) $((Y + 118)) click 1 || true
  done
  eval "$(xdotool getwindowgeometry --shell "$report")"
  xdotool mousemove $((X + 83)) $((Y + 141)) click 1
  xdotool mousemove $((X + 642)) $((Y + 399)) click 1
  for _ in $(seq 100); do
    saved="$(find "$work/app/temp" -name '*.eml' 2>/dev/null | head -1)"
    [ -n "$saved" ] && break 2
    sleep 0.1
  done
done
# The picture once the client's dialog has gone.
for _ in $(seq 50); do
  [ -z "$(xdotool search --name "^$(printf '\xeb\x8b\xa4\xeb\xa5\xb8 \xec\x9d\xb4\xeb\xa6\x84\xec\x9c\xbc\xeb\xa1\x9c \xeb\xa9\x94\xec\x8b\x9c\xec\xa7\x80 \xec\xa0\x80\xec\x9e\xa5')\$" 2>/dev/null || true)" ] && break
  sleep 0.1
done
import -window root "$winbuild/capture-under-wine.png" || true
[ -n "$saved" ] || { echo "FAILED: nothing saved in the temp folder" >&2; cat "$work/veradex.log" >&2; exit 1; }
name="$(basename "$saved")"
count="$(find "$work/app/temp" -name '*.eml' | wc -l)"
if ! [[ "$name" =~ ^광고\ 메일\.eml[0-9A-F]{4}\.eml$ ]] || [ "$count" -ne 1 ]; then
  echo "FAILED: saved as \"$name\" ($count files)" >&2
  exit 1
fi
cmp "$work/mail.src" "$saved" || { echo "FAILED: the saved bytes differ" >&2; exit 1; }
echo "PASSED: the capture button saved \"$name\" byte for byte"
