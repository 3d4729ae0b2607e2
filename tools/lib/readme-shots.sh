#!/usr/bin/env bash
# Renders the README's pictures into docs/: the report window in its e-mail
# view and with a category page, the personal-data settings and the tray
# menu. The program runs against the sandbox centre on a private virtual
# display with a tray host and is driven from outside with xdotool.
# Called as tools/screenshots.sh readme [output folder]   (default: docs)
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
build="${VERADEX_BUILD_DIR:-$root/build}"
out="${1:-$root/docs}"
mkdir -p "$out"
out="$(cd "$out" && pwd)"
cmake --build "$build" --target veradex veradex-centre -j2

work="$(mktemp -d)"
pids=()
cleanup() {
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[$i]}" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# Waits up to 40 seconds for a command to succeed.
wait_for() {
  for _ in $(seq 400); do
    if "$@" >/dev/null 2>&1; then return 0; fi
    sleep 0.1
  done
  echo "readme-screenshots: gave up waiting for: $*" >&2
  return 1
}
# The shown top-level window with exactly this title (UTF-8), as xwininfo lists it.
window() {
  local id
  for id in $(xwininfo -root -children | grep -F " \"$1\": " | awk '{print $1}'); do
    if xwininfo -id "$id" | grep -q IsViewable; then echo "$id"; return 0; fi
  done
  return 1
}
file_dialog() {
  local id
  for id in $(xwininfo -root -children | grep -F '(has no name): ("veradex"' | awk '{split($7, size, "x"); if (size[1] + 0 > 400) print $1}'); do
    if xwininfo -id "$id" | grep -q IsViewable; then echo "$id"; return 0; fi
  done
  return 1
}
no_file_dialog() { ! file_dialog; }
shoot() { import -window "$1" "$out/$2.png"; echo "$out/$2.png"; }

# A display of its own with a notification area.
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
exec 3>&-
wait_for grep -q . "$work/display"
export DISPLAY=":$(head -1 "$work/display")"
trayer --edge top --align right --widthtype pixel --width 120 --height 32 --transparent false \
  --tint 0x336699 --SetDockType true >/dev/null 2>&1 &
pids+=($!)
wait_for window panel

# The sandbox centre and a profile with sample data, set up before.
. "$root/tools/lib/sandbox-centre.sh"
start_sandbox_centre "$work/centre" "$work/centre.out"
pids+=("$centre_pid")
mkdir -p "$work/config/Ambrel"
{
  sample_personal_data
  printf '[environments]\nsetup=1\n[servers]\nreport=%s\nversion=%s\nca_file=%s\n' \
    "$centre_hostport" "$centre_hostport" "$centre_ca"
} >"$work/config/Ambrel/veradex.conf"
printf 'From: Spammer <spam@example.net>\r\nSubject: Cheap loans\r\n\r\nBuy now!\r\n' >"$work/loan-offer.eml"

export GSETTINGS_BACKEND=memory NO_AT_BRIDGE=1 WEBKIT_DISABLE_COMPOSITING_MODE=1 LANG=C.UTF-8
if [ "$(id -u)" -eq 0 ]; then export WEBKIT_DISABLE_SANDBOX_THIS_IS_DANGEROUS=1; fi
XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" VERADEX_AUTOSTART_DIR="$work/autostart" "$build/veradex" >"$work/veradex.out" 2>&1 &
pids+=($!)
wait_for window Dunmere
report="$(window Dunmere)"
eval "$(xdotool getwindowgeometry --shell "$report")"
wx=$X
wy=$Y
click() { xdotool mousemove $((wx + $1)) $((wy + $2)) click "${3:-1}"; }

# The telephone category's page in the browser view (it loads on its own time).
click 86 210
sleep 3
shoot "$report" report-window-page

# The e-mail view with a mail attached through the file dialog and a description.
click 86 141
click 643 423
wait_for file_dialog
dialog="$(file_dialog)"
xdotool windowfocus --sync "$dialog" type --delay 20 "$work/loan-offer.eml"
xdotool key Return
wait_for no_file_dialog
click 512 292
xdotool type --delay 20 "대출 광고 메일을 받았습니다."
xdotool key Return
xdotool type --delay 20 "수신 거부를 해도 계속 옵니다."
shoot "$report" report-window-mail

# The personal-data settings (no program password was set: Enter passes).
click 678 70
wait_for window 로그인
xdotool windowfocus --sync "$(window 로그인)" key Return
wait_for window "개인정보 환경설정"
settings="$(window "개인정보 환경설정")"
sleep 0.5
shoot "$settings" settings
xdotool windowfocus --sync "$settings" key Escape
sleep 0.5

# The tray menu: a right click on the icon, pictured with the panel.
icon="$(xdotool search --onlyvisible --name '^veradex$' | while read -r id; do
  eval "$(xdotool getwindowgeometry --shell "$id")"
  if [ "$WIDTH" -le 64 ] && [ "$Y" -le 64 ]; then echo "$X $Y $WIDTH $HEIGHT"; fi
done | head -1)"
read -r ix iy iw ih <<<"$icon"
xdotool mousemove $((ix + iw / 2)) $((iy + ih / 2)) click 3
sleep 1
import -window root "$work/screen.png"
convert "$work/screen.png" -crop 300x196+980+0 +repage "$out/tray-menu.png"
echo "$out/tray-menu.png"
xdotool key Escape
