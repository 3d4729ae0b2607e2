#!/usr/bin/env bash
# Tests the Windows installer under Wine, in a fresh Wine prefix: the silent install (/S) puts
# the program, its page templates, the Start-menu entry and the uninstall entry in place; the
# installed program starts (its first window appears on a private virtual display); the silent
# installed program, its folder read-only as Program Files is to a user, reads its templates from
# there, writes its pages under %APPDATA% and its temporary files under %LOCALAPPDATA%; the silent uninstall removes
# the files, the Start-menu entry, the uninstall entry and the autostart values and leaves the
# user's profile. Makes the installer first (tools/build-windows.sh --installer).
#   VERADEX_SCREENSHOT=FILE  keeps a picture of the display with the program's first window
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${VERADEX_WIN_BUILD_DIR:-$root/build-windows}"
"$root/tools/build-windows.sh" --installer >/dev/null
installer="$(ls "$build"/Veradex-*-setup.exe)"

work="$(mktemp -d)"
source "$root/tools/lib/wine-env.sh"
display_pid=""
program_dir=""
cleanup() {
  # (The program folder may still be made read-only by the test below.)
  if [ -d "$program_dir" ]; then chattr -i "$program_dir" 2>/dev/null || true; fi
  wine_stop
  if [ -n "$display_pid" ]; then kill "$display_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

failures=0
check() { # description, command...
  local what="$1"
  shift
  if "$@"; then
    echo "ok      $what"
  else
    echo "FAILED  $what"
    failures=$((failures + 1))
  fi
}
# Waits up to `seconds` for a command to succeed.
wait_for() { # seconds, command...
  local until=$((SECONDS + $1))
  shift
  until "$@"; do
    [ "$SECONDS" -lt "$until" ] || return 1
    sleep 0.2
  done
}
reg_has() { wine reg query "$1" /v "$2" >/dev/null 2>&1 </dev/null; }
reg_lacks() { ! reg_has "$@"; }

uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Veradex'
run_key_machine='HKLM\Software\Microsoft\Windows\CurrentVersion\Run'
run_key_user='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'

# A private display for the program's window.
for number in $(seq 140 199); do
  [ -e "/tmp/.X11-unix/X$number" ] || [ -e "/tmp/.X$number-lock" ] && continue
  Xvfb ":$number" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  display_pid=$!
  export DISPLAY=":$number"
  wait_for 10 xdpyinfo >/dev/null 2>&1 && break
  kill "$display_pid" 2>/dev/null || true
  display_pid=""
done
[ -n "$display_pid" ] || {
  echo "no virtual display"
  exit 1
}

start=$SECONDS
wine_start "$work/prefix"
wine_link_korean_font
echo "fresh Wine prefix in $((SECONDS - start)) s"

program_dir="$WINEPREFIX/drive_c/Program Files/Veradex"
menu_entry="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Veradex.lnk"

start=$SECONDS
# wine returns when the installer has ended (the prefix's services are persistent, so
# `wineserver -w` would wait for ever).
wine "$installer" /S >/dev/null 2>&1 </dev/null
echo "silent install in $((SECONDS - start)) s"
check "program installed" test -f "$program_dir/veradex.exe"
check "mail module installed" test -f "$program_dir/veradex-mail.dll"
check "uninstaller installed" test -f "$program_dir/uninstall.exe"
for page in PHONE_SPAM EMAILRETURN_SPAM BOARD_SPAM Elec_Spam Fax_Spam code_spam search search_2006; do
  check "template $page.bak installed" test -f "$program_dir/$page.bak"
done
check "Start-menu entry" test -f "$menu_entry"
check "uninstall entry" reg_has "$uninstall_key" DisplayName
check "uninstall command" reg_has "$uninstall_key" UninstallString

# The installed program starts: a window of veradex.exe is shown (the first start asks for a
# program password), and the program is still running.
program_window() {
  local id
  for id in $(xwininfo -root -tree 2>/dev/null | awk '/"veradex.exe"/ { print $1 }'); do
    if xwininfo -id "$id" 2>/dev/null | grep -q 'Map State: IsViewable' &&
      [ "$(xwininfo -id "$id" | awk '/Width:/ { print $2 }')" -ge 100 ]; then
      return 0
    fi
  done
  return 1
}
start=$SECONDS
wine "C:\\Program Files\\Veradex\\veradex.exe" >"$work/program.log" 2>&1 </dev/null &
program_pid=$!
check "the installed program shows its first window" wait_for 60 program_window
echo "first window after $((SECONDS - start)) s"
check "the program is still running" kill -0 "$program_pid"
if [ -n "${VERADEX_SCREENSHOT:-}" ] && command -v import >/dev/null; then
  import -window root "$VERADEX_SCREENSHOT" 2>/dev/null || true
fi
wineserver -k
wait "$program_pid" 2>/dev/null || true
wine_start "$WINEPREFIX"

# Past the first start, with its folder read-only (Program Files is the administrators'; the
# prefix's user is root here, whom only the immutable mark stops): the report window comes up,
# the telephone category's page is made from the installed template into the user's own folder
# (%APPDATA%), and the temporary folder is under %LOCALAPPDATA%.
wine reg add 'HKCU\Software\Ambrel\veradex\environments' /v setup /d 1 /f >/dev/null 2>&1 </dev/null
wine reg add 'HKCU\Software\Ambrel\veradex\environments' /v PW /d '' /f >/dev/null 2>&1 </dev/null
user_dir="$(find "$WINEPREFIX/drive_c/users" -maxdepth 2 -path '*/AppData' | head -1)"
local_dir="$user_dir/Local/Ambrel/veradex"
roaming_dir="$user_dir/Roaming/Ambrel/veradex"
if chattr +i "$program_dir"; then
  wine "C:\\Program Files\\Veradex\\veradex.exe" >"$work/program.log" 2>&1 </dev/null &
  program_pid=$!
  # A message of the start (no server answers the version check here) is answered with its
  # button (a new process's window need not have the keyboard).
  answer_messages() {
    local id X Y WIDTH HEIGHT SCREEN WINDOW
    for id in $(xdotool search --onlyvisible --name '^:: Veradex ::$' 2>/dev/null); do
      eval "$(xdotool getwindowgeometry --shell "$id" 2>/dev/null)" && xdotool mousemove $((X + 184)) $((Y + 307)) click 1
    done
  }
  report_window() {
    answer_messages
    report="$(xdotool search --onlyvisible --name '^Dunmere$' 2>/dev/null | head -1)" && [ -n "$report" ]
  }
  check "the installed program shows its report window" wait_for 60 report_window
  # The telephone category's button, until its page is there.
  phone_page() {
    local X Y WIDTH HEIGHT SCREEN WINDOW
    answer_messages
    if [ -n "${report:-}" ] && eval "$(xdotool getwindowgeometry --shell "$report" 2>/dev/null)"; then
      xdotool mousemove $((X + 86)) $((Y + 210)) click 1 2>/dev/null || true
    fi
    sleep 0.5
    test -f "$roaming_dir/pages/PHONE_SPAM.html"
  }
  check "the page made from the installed template under %APPDATA%" wait_for 60 phone_page
  check "the temporary folder under %LOCALAPPDATA%" test -d "$local_dir/temp"
  check "nothing written in the program folder" test ! -e "$program_dir/temp" -a ! -e "$program_dir/PHONE_SPAM.html"
  if [ -n "${VERADEX_SCREENSHOT:-}" ] && command -v import >/dev/null; then
    import -window root "${VERADEX_SCREENSHOT%.png}-installed.png" 2>/dev/null || true
  fi
  wineserver -k
  wait "$program_pid" 2>/dev/null || true
  chattr -i "$program_dir"
  wine_start "$WINEPREFIX"
else
  check "the program folder can be made read-only (chattr)" false
fi

# Values the uninstaller must remove (autostart for the machine and the user) and the user's
# profile, which it must leave.
wine reg add "$run_key_machine" /v Veradex /d '"C:\Program Files\Veradex\veradex.exe"' /f >/dev/null 2>&1
wine reg add "$run_key_user" /v Veradex /d '"C:\Program Files\Veradex\veradex.exe"' /f >/dev/null 2>&1
wine reg add 'HKCU\Software\Ambrel\veradex\environments' /v Name /d 'profile-kept' /f >/dev/null 2>&1

start=$SECONDS
wine "C:\\Program Files\\Veradex\\uninstall.exe" /S >/dev/null 2>&1 </dev/null
# The uninstaller runs on from a copy of itself in the temporary folder: wait until it has
# removed the folder (or given up).
wait_for 60 test ! -e "$program_dir/uninstall.exe" || true
wait_for 60 test ! -e "$program_dir" || true
echo "silent uninstall in $((SECONDS - start)) s"
check "program folder removed" test ! -e "$program_dir"
check "Start-menu entry removed" test ! -e "$menu_entry"
check "uninstall entry removed" reg_lacks "$uninstall_key" DisplayName
check "machine autostart value removed" reg_lacks "$run_key_machine" Veradex
check "user autostart value removed" reg_lacks "$run_key_user" Veradex
check "user profile kept" reg_has 'HKCU\Software\Ambrel\veradex\environments' Name

echo "installer $(basename "$installer"): $(stat -c %s "$installer") bytes"
if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed; the program's output:"
  cat "$work/program.log"
  exit 1
fi
echo "all installer checks passed"
