# Sourced by the benchmark scripts: a private virtual display with a tray
# host, the test report centre, and a profile (set up, no password) that
# points the program at the centre. Expects $build; sets DISPLAY,
# XDG_CONFIG_HOME, XDG_DATA_HOME, VERADEX_AUTOSTART_DIR and $work (removed at exit).
# Usage: bench_session <hide_at_run value: "" or 1>

work="$(mktemp -d)"
session_pids=()
bench_session_end() {
  for pid in "${session_pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap bench_session_end EXIT

export GSETTINGS_BACKEND=memory NO_AT_BRIDGE=1 LANG=C.UTF-8 WEBKIT_DISABLE_COMPOSITING_MODE=1
# As on a new user's machine, where nothing points the TLS library at another
# set of authorities: it then reads the system's hashed folder as it needs it,
# instead of a whole bundle at start.
unset SSL_CERT_FILE SSL_CERT_DIR NIX_SSL_CERT_FILE
# WebKitGTK refuses to start its sandbox as root; switch it off for the benchmarks only.
if [ "$(id -u)" -eq 0 ]; then export WEBKIT_DISABLE_SANDBOX_THIS_IS_DANGEROUS=1; fi

bench_session() {
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
  session_pids+=($!)
  for _ in $(seq 200); do [ -s "$work/display" ] && break; sleep 0.05; done
  [ -s "$work/display" ] || { echo "Xvfb did not start" >&2; return 1; }
  export DISPLAY=":$(head -n1 "$work/display")"
  trayer --edge top --align right --widthtype pixel --width 120 --height 32 --transparent false \
    --tint 0x336699 --SetDockType true >/dev/null 2>&1 &
  session_pids+=($!)
  for _ in $(seq 200); do xdotool search --name '^panel$' >/dev/null 2>&1 && break; sleep 0.1; done

  "$build/tests/veradex_test_centre" >"$work/centre" &
  session_pids+=($!)
  for _ in $(seq 200); do [ -s "$work/centre" ] && break; sleep 0.05; done
  read -r port cafile <"$work/centre"
  export XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" VERADEX_AUTOSTART_DIR="$work/autostart"
  mkdir -p "$XDG_CONFIG_HOME/Ambrel" "$VERADEX_AUTOSTART_DIR"
  cat >"$XDG_CONFIG_HOME/Ambrel/veradex.conf" <<CONF
[environments]
setup=1
hide_at_run=$1
[servers]
report=localhost:$port
version=localhost:$port
ca_file=$cafile
CONF
  chmod 600 "$XDG_CONFIG_HOME/Ambrel/veradex.conf"
}
