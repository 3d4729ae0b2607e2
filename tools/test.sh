#!/usr/bin/env bash
# Installs what is missing, builds Veradex with its tests and runs every test.
# The GUI tests get a virtual display (Xvfb) and a private session bus.
# Extra arguments go to ctest, e.g.: tools/test.sh -R Profile --output-on-failure
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${VERADEX_BUILD_DIR:-$root/build}"
"$root/tools/install-deps.sh"
"$root/tools/build.sh"

export GSETTINGS_BACKEND=memory
export WEBKIT_DISABLE_COMPOSITING_MODE=1
export NO_AT_BRIDGE=1
export LANG=C.UTF-8
# WebKitGTK refuses to start its sandbox as root; switch it off for the tests only.
if [ "$(id -u)" -eq 0 ]; then export WEBKIT_FORCE_SANDBOX=0 WEBKIT_DISABLE_SANDBOX_THIS_IS_DANGEROUS=1; fi

cd "$build"
exec xvfb-run -a -s "-screen 0 1280x1024x24" \
  dbus-run-session -- ctest --output-on-failure --timeout 300 -j2 "$@"
