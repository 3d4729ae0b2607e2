#!/usr/bin/env bash
# Builds the Debian package in the build folder and checks it with lintian:
# no error may be found. Usage: tools/check-package.sh [build folder]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-${VERADEX_BUILD_DIR:-$root/build}}"
cd "$build"
cpack -G DEB >/dev/null
package="$(ls -t veradex_*.deb | head -1)"
dpkg-deb --field "$package" Depends
# The page templates are code page 949 text on purpose (national-encoding).
lintian --fail-on error --suppress-tags national-encoding "$package"
echo "check-package: $build/$package has no lintian error"
