#!/usr/bin/env bash
# Configures and builds Veradex in build/ (or $VERADEX_BUILD_DIR).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${VERADEX_BUILD_DIR:-$root/build}"
# Paths below the checkout are hashed relative to it, so another checkout of
# the same sources finds its objects in the compiler cache.
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$root}"
# Nor is the build folder hashed (it reaches the objects only through their
# debug information), so a build folder elsewhere hits the cache too.
export CCACHE_NOHASHDIR="${CCACHE_NOHASHDIR:-1}"
generator=()
if command -v ninja >/dev/null 2>&1 && [ ! -f "$build/Makefile" ]; then generator=(-G Ninja); fi
cmake -S "$root" -B "$build" "${generator[@]}" -DCMAKE_BUILD_TYPE="${CMAKE_BUILD_TYPE:-RelWithDebInfo}" "$@"
cmake --build "$build" --parallel "$(nproc)"
