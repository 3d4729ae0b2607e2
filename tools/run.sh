#!/usr/bin/env bash
# Builds Veradex and starts it against a report centre of its own on this
# computer (veradex-centre), with a profile of its own under build/sandbox/:
# reports go to the sandbox centre, the user's own profile is never touched.
#   tools/run.sh          the sandbox (received reports at the address it prints)
#   tools/run.sh --live   the program with the user's own profile and its configured servers
# Ending the program ends the sandbox centre.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${VERADEX_BUILD_DIR:-$root/build}"
live=0
case "${1:-}" in
  --live) live=1 ;;
  "") ;;
  *) echo "usage: tools/run.sh [--live]" >&2; exit 2 ;;
esac

"$root/tools/install-deps.sh"
if [ ! -f "$build/CMakeCache.txt" ]; then
  generator=()
  if command -v ninja >/dev/null 2>&1; then generator=(-G Ninja); fi
  cmake -S "$root" -B "$build" "${generator[@]}" -DCMAKE_BUILD_TYPE="${CMAKE_BUILD_TYPE:-RelWithDebInfo}"
fi
cmake --build "$build" --parallel "$(nproc)" --target veradex veradex-centre

if [ "$live" -eq 1 ]; then exec "$build/veradex"; fi

sandbox="$build/sandbox"
config="$sandbox/config"
profile="$config/Ambrel/veradex.conf"
mkdir -p "$sandbox/centre" "$config/Ambrel"

# The centre prints one line when it is ready: its address and its authority.
centre_log="$sandbox/centre.log"
"$build/src/centre/veradex-centre" --data "$sandbox/centre" >"$centre_log" 2>&1 &
centre_pid=$!
trap 'kill "$centre_pid" 2>/dev/null || true; wait "$centre_pid" 2>/dev/null || true' EXIT
ready=""
for _ in $(seq 100); do
  ready="$(grep -m1 '^listening ' "$centre_log" || true)"
  [ -n "$ready" ] && break
  kill -0 "$centre_pid" 2>/dev/null || break
  sleep 0.1
done
if [ -z "$ready" ]; then
  echo "run: the sandbox centre did not start:" >&2
  cat "$centre_log" >&2
  exit 1
fi
address="$(echo "$ready" | awk '{print $2}')"  # https://localhost:PORT/
hostport="${address#https://}"
hostport="${hostport%/}"
ca="$(echo "$ready" | awk '{print $6}')"

# The sandbox profile: UTF-8 text, one [section] with name=value lines (the
# program reads the values as code page 949 text). On the first run it gets
# sample personal data so a report can be sent at once; the servers section
# points at this run's centre every time.
umask 077
if [ ! -f "$profile" ]; then
  cat >"$profile" <<'PROFILE'
[Options]
Name=홍길동
EMail=hong@example.com
Tel1=02
Tel2=123
Tel3=4567
MTel1=010
MTel2=1234
MTel3=5678
McomTel=SKT
singo_pw=1234
PROFILE
fi
awk -v report="$hostport" -v ca="$ca" '
  /^\[/ { skip = ($0 == "[servers]") }
  !skip { print }
  END { print "[servers]"; print "report=" report; print "version=" report; print "ca_file=" ca }
' "$profile" >"$profile.new"
mv "$profile.new" "$profile"

cat <<INFO
Veradex sandbox
  received reports:  $address   (certificate authority: $ca)
  centre data:       $sandbox/centre  (reports.sqlite, files/)
  program profile:   $profile
Ending the program ends the centre.
INFO

status=0
XDG_CONFIG_HOME="$config" XDG_DATA_HOME="$sandbox/data" VERADEX_AUTOSTART_DIR="$sandbox/autostart" "$build/veradex" || status=$?
exit "$status"
