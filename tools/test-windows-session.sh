#!/usr/bin/env bash
# The whole Windows program under Wine on a virtual display, against the
# sandbox centre (the Linux build's veradex-centre on loopback, its authority
# in the profile's ca_file): veradex.exe starts in a new Wine prefix, the
# first-run password is set, the personal data typed into the settings, two
# mails added through the file dialog, a description of two lines typed and
# sent. The centre's database must then hold two reports whose fields are
# what was typed and whose files are the mails byte for byte. A second copy
# must be refused (its message, exit code 0), and the report history must be
# under %APPDATA%.
# Needs both builds: tools/build.sh (veradex-centre) and build-windows
# (veradex.exe). Pictures of the windows go to build-windows/session-under-wine/.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${VERADEX_BUILD_DIR:-$root/build}"
winbuild="${VERADEX_WIN_BUILD_DIR:-$root/build-windows}"
if [ -z "${VERADEX_SESSION_DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" env VERADEX_SESSION_DISPLAY=1 "$0" "$@"
fi
for f in "$build/src/centre/veradex-centre" "$winbuild/veradex.exe"; do
  [ -f "$f" ] || { echo "missing: $f" >&2; exit 1; }
done
for tool in sqlite3 xclip; do
  command -v "$tool" >/dev/null || { echo "$tool is needed (tools/install-deps.sh)" >&2; exit 1; }
done

work="$(mktemp -d)"
shots="$winbuild/session-under-wine"
rm -rf "$shots"
mkdir -p "$shots"
source "$root/tools/lib/wine-program.sh"
program_under_wine "$work"

mkdir "$work/mails"
printf 'From: Spammer <spam@example.net>\r\nSubject: =?UTF-8?B?7Iqk7Yy4?=\r\n\r\nBuy!\r\n' >"$work/mails/first.eml"
printf 'From: b@example.org\r\nSubject: Loans\r\n\r\nCheap.\r\n' >"$work/mails/second.eml"

fail() {
  echo "FAILED: $*" >&2
  import -window root "$shots/failed.png" 2>/dev/null || true
  echo "(the screen: $shots/failed.png)" >&2
  local id
  for id in $(xdotool search --onlyvisible --name '.' 2>/dev/null); do
    echo "shown: $(xdotool getwindowname "$id" 2>/dev/null) $(xdotool getwindowgeometry "$id" 2>/dev/null | tr '\n' ' ')" >&2
  done
  cat "$work/veradex.log" >&2 2>/dev/null || true
  exit 1
}
shot() { import -window root "$shots/$1.png" 2>/dev/null || true; }
# Waits (up to 30 seconds) for a condition given as a command.
wait_for() {
  local what="$1"
  shift
  for _ in $(seq 300); do
    "$@" && return 0
    sleep 0.1
  done
  fail "$what"
}
# The first shown window whose name matches, into $found.
found=""
shown() {
  found="$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1 || true)"
  [ -n "$found" ]
}
gone() { ! shown "$1"; }
# The file dialog: a large shown window without a name, into $found.
file_dialog() {
  local id
  found=""
  for id in $(xwininfo -root -children 2>/dev/null | sed -n 's/^ *\(0x[0-9a-f]*\) (has no name): .* \([0-9]*\)x[0-9]*+.*/\1 \2/p' |
    awk '$2 >= 400 {print $1}'); do
    xwininfo -id "$id" 2>/dev/null | grep -q IsViewable && { found="$id"; return 0; }
  done
  return 1
}
no_file_dialog() { ! file_dialog; }
# A click at a place of a window (its layout is absolute).
click_in() {
  local X Y WIDTH HEIGHT SCREEN WINDOW
  eval "$(xdotool getwindowgeometry --shell "$1")"
  xdotool mousemove $((X + $2)) $((Y + $3)) click 1
}
# Whether the screen is dark at a place of a window (the report window's
# navy header once it is drawn; white before).
dark_at() {
  local X Y WIDTH HEIGHT SCREEN WINDOW
  eval "$(xdotool getwindowgeometry --shell "$1" 2>/dev/null)" || return 1
  [ "${WIDTH:-0}" -gt 400 ] && ink_in "$1" "$2" "$3" 1 1
}
# Whether something dark is drawn in a rectangle of a window (text on white).
ink_in() {
  local X Y WIDTH HEIGHT SCREEN WINDOW darkest
  eval "$(xdotool getwindowgeometry --shell "$1" 2>/dev/null)" || return 1
  darkest="$(import -window root -crop "${4}x${5}+$((X + $2))+$((Y + $3))" -colorspace Gray \
    -format '%[fx:int(255*minima)]' info: 2>/dev/null)"
  [ -n "$darkest" ] && [ "$darkest" -lt 128 ]
}
keys() { xdotool key --delay 60 "$@"; }
text() { xdotool type --delay 60 "$1"; }
# Korean text goes in through the clipboard, as an input method would hand it
# over (Wine does not take keys that the keyboard's map lacks reliably).
paste() {
  printf '%s' "$1" | xclip -selection clipboard -i
  keys ctrl+v
}
# A warning the web view may show (the sandbox's authority is not Windows'),
# answered "No".
no_warnings() {
  local warning X Y WIDTH HEIGHT SCREEN WINDOW
  for warning in $(xdotool search --onlyvisible --name '^Security Warning$' 2>/dev/null || true); do
    # Its "No" button, at the same place of the dialog at any screen scale.
    eval "$(xdotool getwindowgeometry --shell "$warning" 2>/dev/null)" || continue
    click_in "$warning" $((WIDTH * 53 / 100)) $((HEIGHT * 86 / 100)) || true
  done
}

# A click on the report window until a window matching pattern shows (the web
# view's warning, a modal window, may come up at any time and take the click).
click_until_shown() {
  local what="$1" x="$2" y="$3"
  shift 3
  for _ in 1 2 3 4 5; do
    no_warnings
    click_in "$report" "$x" "$y"
    for _ in $(seq 40); do
      "$@" && return 0
      sleep 0.1
    done
  done
  fail "$what"
}

program_pid=""
(cd "$work/app" && exec wine "$work/app/veradex.exe" >"$work/veradex.log" 2>&1 </dev/null) &
program_pid=$!

# First start: the program password, twice.
wait_for "no password set-up" shown '^암호설정$'
setup="$found"
shot password-setup
xdotool windowfocus "$setup" 2>/dev/null || true
text pw1
keys Tab
text pw1
keys Return
wait_for "no report window" shown '^Dunmere$'
report="$found"
wait_for "the report window is not drawn" dark_at "$report" 400 20
no_warnings
shot report-window-first

# Personal data in the settings, behind the program password.
click_until_shown "no password asked before the settings" 678 70 shown '^로그인$'
shot login
text pw1
keys Return
wait_for "no settings" shown '^개인정보 환경설정$'
settings="$found"
click_in "$settings" 229 99
# A key the new window may drop while it takes the keyboard.
keys x BackSpace
paste 홍길동
keys Tab
for value in hong@example.com 02 123 4567 010 1234 5678; do
  text "$value"
  keys Tab
done
keys Tab
text rp77
shot settings
# The page's labels are drawn: the tab control under the page once painted
# over them (Windows does not clip a window's painting at its siblings).
ink_in "$settings" 28 86 64 22 || fail "the settings page's labels are not drawn (settings.png)"
click_in "$settings" 134 327
wait_for "the settings stay" gone '^개인정보 환경설정$'
profile_value() {
  wine reg query "$program_key\\Options" /v "$1" 2>/dev/null </dev/null | tr -d '\r' | awk -v n="$1" '$1 == n {print $NF}'
}
# (reg query prints in the console's code page: the exported file keeps it.)
wine reg export "$program_key\\Options" "$(winepath -w "$work/options.reg" 2>/dev/null)" /y >/dev/null 2>&1 </dev/null
iconv -f UTF-16 -t UTF-8 "$work/options.reg" | tr -d '\r' | grep -qx '"Name"="홍길동"' ||
  fail "the name was not stored: $(iconv -f UTF-16 -t UTF-8 "$work/options.reg" | grep Name)"
[ "$(profile_value MTel3)" = 5678 ] || fail "the settings were not stored (MTel3: $(profile_value MTel3))"
[ "$(profile_value singo_pw)" = rp77 ] || fail "the report password was not stored"

# Two mails through the file dialog, a description of two lines, send.
no_warnings
click_in "$report" 86 141
no_warnings
for mail in first second; do
  click_until_shown "no file dialog" 643 423 file_dialog
  dialog="$found"
  [ "$mail" = first ] && shot file-dialog
  text "$(winepath -w "$work/mails/$mail.eml" 2>/dev/null)"
  keys Return
  wait_for "the file dialog stays" no_file_dialog
done
no_warnings
click_in "$report" 512 292
text "first line"
keys Return
paste "둘째 줄"
shot report-window-before-send
click_until_shown "no message after sending" 514 500 shown '^:: Veradex ::$'
shot message-box
keys Return
wait_for "the message stays" gone '^:: Veradex ::$'

# The centre's two reports: the typed fields, each naming its own file.
db="$work/centre/reports.sqlite"
cp949() { printf '%s' "$1" | iconv -f UTF-8 -t CP949 | od -An -tx1 | tr -d ' \n' | tr a-f A-F; }
query() { sqlite3 "$db" "$1"; }
[ "$(query 'SELECT count(*) FROM reports')" = 2 ] || fail "the centre holds $(query 'SELECT count(*) FROM reports') reports, not 2"
expected="email|received|$(cp949 홍길동)|hong@example.com|02-123-4567|$(cp949 $'first line\r\n둘째 줄')|rp77"
while IFS='|' read -r id rest; do
  [ "$rest" = "$expected" ] || fail "report $id holds \"$rest\", not \"$expected\""
done < <(query "SELECT id, kind, verdict, hex(name), CAST(email AS TEXT), CAST(tel AS TEXT), hex(content),
  CAST(password AS TEXT) FROM reports ORDER BY id")
# Oldest first: the first mail was sent first.
mapfile -t stored < <(query 'SELECT stored_file FROM reports ORDER BY id')
mapfile -t names < <(query 'SELECT CAST(file_name AS TEXT) FROM reports ORDER BY id')
for i in 0 1; do
  [[ "${names[$i]}" =~ ^SPM_[0-9]{4}_[0-9]{2}_[0-9A-F]{2,}\.eml$ ]] || fail "a file sent as \"${names[$i]}\""
done
[ "${names[0]}" != "${names[1]}" ] || fail "both files sent as ${names[0]}"
cmp "$work/mails/first.eml" "$work/centre/${stored[0]}" || fail "the first mail arrived changed"
cmp "$work/mails/second.eml" "$work/centre/${stored[1]}" || fail "the second mail arrived changed"

# The report history under %APPDATA%.
history="$(find "$WINEPREFIX/drive_c/users" -path '*/AppData/Roaming/Ambrel/veradex/history.sqlite' | head -1)"
[ -n "$history" ] || fail "no history.sqlite under %APPDATA%"

# A second copy: its message, then the end with 0, the first still running.
set +e
(cd "$work/app" && exec wine "$work/app/veradex.exe" >"$work/second.log" 2>&1 </dev/null) &
second_pid=$!
set -e
wait_for "no message from a second copy" shown '^:: Veradex ::$'
shot second-copy
# Its button (a new process's window need not have the keyboard).
click_in "$found" 184 307
for _ in $(seq 300); do kill -0 "$second_pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$second_pid" 2>/dev/null && fail "the second copy stays"
second_status=0
wait "$second_pid" || second_status=$?
[ "$second_status" = 0 ] || fail "the second copy ended with $second_status"
kill -0 "$program_pid" 2>/dev/null || fail "the first copy ended too"
shot report-window-after
# How many top windows are viewable.
viewable() {
  local id count=0
  for id in $(xwininfo -root -children 2>/dev/null | awk '/^ *0x/ {print $1}'); do
    if [ "$(xwininfo -id "$id" 2>/dev/null | grep -c IsViewable)" -gt 0 ]; then count=$((count + 1)); fi
  done
  echo "$count"
}
# The tray icon's menu: Wine shows the notification area as a window of its
# own ("Wine System Tray Window") when the desktop has none; the icon is its
# first. A picture for review; a click on the bare screen closes the menu.
if shown 'Wine System Tray'; then
  before="$(viewable)"
  eval "$(xdotool getwindowgeometry --shell "$found")"
  xdotool mousemove $((X + 10)) $((Y + 10)) click 3
  for _ in $(seq 30); do [ "$(viewable)" -gt "$before" ] && break; sleep 0.1; done
  shot tray-menu
  xdotool mousemove 640 1010 click 1
else
  echo "no notification area window: no picture of the tray menu" >&2
fi

# The history window from the report window's menu (its "신고 내역", second from the end).
history_window() {
  click_in "$report" 632 70
  for _ in $(seq 10); do
    xdotool search --onlyvisible --name '^신고 내역$' >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  keys Up Up Return
  for _ in $(seq 30); do
    xdotool search --onlyvisible --name '^신고 내역$' >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  keys Escape
  return 1
}
for attempt in 1 2 3; do
  history_window && break
  [ "$attempt" = 3 ] && fail "no history window from the menu"
done
shot history-window
echo "PASSED: two reports at the centre as typed, the mails byte for byte; a second copy refused; the history in %APPDATA%"
