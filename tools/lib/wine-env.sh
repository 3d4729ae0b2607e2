# Wine for the Windows build (sourced): a prefix of the caller's own, 64-bit,
# quiet, without the offers to fetch Mono and Gecko (no downloads; the web
# view's engine is not there under Wine anyway).
#   wine_start DIR   makes the prefix when new and starts its services, their
#                    output sent away, so nothing later holds a caller's pipe
#                    (ctest would wait for it on every test)
#   wine_stop        ends the prefix's services and programs

wine_start() {
  export WINEPREFIX="$1" WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  mkdir -p "$WINEPREFIX"
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    env -u DISPLAY wineboot --init >/dev/null 2>&1 </dev/null
    # The first programs of a server session fix the desktop's display: the
    # services made the prefix without one, so the session is left to end by
    # itself (the prefix written whole) and starts again below on the
    # caller's display (if any).
    wineserver -w >/dev/null 2>&1 </dev/null || true
  fi
  # Persistent services; wineserver answers 2 when the prefix's are running already.
  wineserver -p >/dev/null 2>&1 </dev/null || true
  wine cmd /c exit >/dev/null 2>&1 </dev/null
}

wine_stop() {
  if [ -n "${WINEPREFIX:-}" ]; then
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w >/dev/null 2>&1 || true
  fi
}

# Korean text in the interface: Windows' font linking from the usual UI fonts
# to NanumGothic (fonts-nanum), as a Korean Windows links them to its fonts.
wine_link_korean_font() {
  local face
  for face in Tahoma "Segoe UI" "MS Shell Dlg" "MS Shell Dlg 2" "Microsoft Sans Serif"; do
    wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' /v "$face" \
      /t REG_MULTI_SZ /d 'NanumGothic.ttf,NanumGothic' /f >/dev/null 2>&1 </dev/null
  done
}
