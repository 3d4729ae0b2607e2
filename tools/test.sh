#!/usr/bin/env bash
# Installs what is missing, builds Veradex with its tests and runs every test.
# The GUI tests get a virtual display (Xvfb) and a private session bus.
# Extra arguments go to ctest, e.g.: tools/test.sh -R Profile --output-on-failure
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${VERADEX_BUILD_DIR:-$root/build}"
"$root/tools/install-deps.sh"
"$root/tools/build.sh"

source "$root/tools/lib/headless-env.sh"
cd "$build"
headless_run ctest --output-on-failure --timeout 300 -j2 "$@"
