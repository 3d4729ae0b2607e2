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
. "$root/tools/lib/program-targets.sh"
cmake --build "$build" --parallel "$(nproc)" --target "${VERADEX_PROGRAM_TARGETS[@]}"

if [ "$live" -eq 1 ]; then exec "$build/veradex"; fi

sandbox="$build/sandbox"
config="$sandbox/config"
profile="$config/Ambrel/veradex.conf"
mkdir -p "$config/Ambrel"

. "$root/tools/lib/sandbox-centre.sh"
start_sandbox_centre "$sandbox/centre" "$sandbox/centre.log" || exit 1
trap 'kill "$centre_pid" 2>/dev/null || true; wait "$centre_pid" 2>/dev/null || true' EXIT
address="$centre_address"
ca="$centre_ca"

# The sandbox profile gets the sample personal data on the first run, so a
# report can be sent at once; the servers section points at this run's
# centre every time.
umask 077
if [ ! -f "$profile" ]; then sample_personal_data >"$profile"; fi
awk -v report="$centre_hostport" -v ca="$ca" '
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
