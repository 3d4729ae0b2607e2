#!/usr/bin/env bash
# Installs what is missing, builds Veradex and starts it.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/tools/install-deps.sh"
"$root/tools/build.sh"
exec "${VERADEX_BUILD_DIR:-$root/build}/veradex"
