# The built Windows program in a new Wine prefix against the sandbox centre
# (sourced, with $root and $winbuild set):
#   program_under_wine WORK   starts the centre (WORK/centre), makes the prefix
#                             (WORK/prefix) on the caller's display with the
#                             Korean font link, copies the program, its mail
#                             module and its templates to WORK/app, and points
#                             the profile's servers at the centre (its
#                             authority in ca_file); on exit the prefix's
#                             programs and the centre end and WORK is removed.
#                             VERADEX_WINE_DPI=144 sets the prefix's screen
#                             to 150 % (for pictures)
#   reg SECTION NAME VALUE    writes a profile value (a string) under $program_key

source "$root/tools/lib/wine-env.sh"
source "$root/tools/lib/sandbox-centre.sh"

program_key='HKCU\Software\Ambrel\veradex'
reg() { wine reg add "$program_key\\$1" /v "$2" /d "$3" /f >/dev/null 2>&1 </dev/null; }

program_finish() {
  wine_stop
  [ -n "${centre_pid:-}" ] && kill "$centre_pid" 2>/dev/null || true
  rm -rf "$program_work"
}

program_under_wine() {
  local work="$1"
  program_work="$work"
  centre_pid=""
  trap program_finish EXIT
  start_sandbox_centre "$work/centre" "$work/centre.log"
  export LANG=C.UTF-8
  wine_start "$work/prefix"
  wine_link_korean_font
  if [ -n "${VERADEX_WINE_DPI:-}" ]; then
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$VERADEX_WINE_DPI" /f \
      >/dev/null 2>&1 </dev/null
  fi
  mkdir "$work/app"
  cp "$winbuild/veradex.exe" "$winbuild"/*.bak "$work/app/"
  if [ -f "$winbuild/veradex-mail.dll" ]; then cp "$winbuild/veradex-mail.dll" "$work/app/"; fi
  reg servers report "$centre_hostport"
  reg servers version "$centre_hostport"
  reg servers ca_file "$(winepath -w "$centre_ca" 2>/dev/null)"
}
