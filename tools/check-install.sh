#!/usr/bin/env bash
# Checks that `cmake --install` works after a build of the programs alone, as
# tools/run.sh makes it: every file the installation copies out of the build
# folder is made by those targets (Ninja builds only: from Ninja's own graph),
# and an install into a temporary DESTDIR succeeds with the program, its link,
# its templates and the package documents in place.
# Usage: tools/check-install.sh [build folder]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-${VERADEX_BUILD_DIR:-$root/build}}" && pwd)"
. "$root/tools/lib/program-targets.sh"
targets=("${VERADEX_PROGRAM_TARGETS[@]}")

# What the install scripts copy from the build folder (not the scripts themselves).
needed="$(grep -rhoE --include=cmake_install.cmake "\"$build/[^\"\$]+\"" "$build" | tr -d '"' |
  grep -v '/cmake_install\.cmake$' | sed "s|^$build/||" | sort -u)"
if [ -z "$needed" ]; then
  echo "check-install: no install rules found in $build" >&2
  exit 1
fi

if [ -f "$build/build.ninja" ]; then
  cd "$build"
  # Everything the targets depend on. Ninja's inputs tool leaves out what a
  # phony target (a CMake target, a custom target) stands for, so the phony
  # ones are asked for their inputs until nothing new turns up.
  made="$( (printf '%s\n' "${targets[@]}"; ninja -t inputs "${targets[@]}") | sort -u)"
  for _ in 1 2 3 4 5; do
    phony_inputs="$(echo "$made" | grep -v '^/' | xargs ninja -t query |
      awk '/^[^ ]/ { take = 0 } /^  input: phony/ { take = 1; next } /^  [a-z]/ { take = 0 } take { print $NF }')"
    more="$( (echo "$made"; echo "$phony_inputs") | sort -u)"
    [ "$more" = "$made" ] && break
    made="$more"
  done
  missing="$(comm -23 <(echo "$needed") <(echo "$made"))"
  if [ -n "$missing" ]; then
    echo "check-install: cmake --install needs files that a build of ${targets[*]} does not make:" >&2
    echo "$missing" | sed 's/^/  /' >&2
    exit 1
  fi
else
  echo "check-install: not a Ninja build; the dependency check is left out"
fi

stage="$(mktemp -d)"
trap 'rm -rf "$stage"' EXIT
DESTDIR="$stage" cmake --install "$build" --prefix /usr >"$stage.log" 2>&1 || {
  cat "$stage.log" >&2
  rm -f "$stage.log"
  exit 1
}
rm -f "$stage.log"
for file in usr/lib/veradex/veradex usr/lib/veradex/veradex-centre usr/lib/veradex/PHONE_SPAM.bak \
  usr/share/doc/veradex/changelog.gz usr/share/doc/veradex/copyright usr/share/man/man1/veradex.1.gz \
  usr/share/applications/veradex.desktop; do
  if [ ! -f "$stage/$file" ]; then
    echo "check-install: $file was not installed" >&2
    exit 1
  fi
done
if [ "$(readlink "$stage/usr/bin/veradex")" != "../lib/veradex/veradex" ]; then
  echo "check-install: usr/bin/veradex does not link to the program" >&2
  exit 1
fi
echo "check-install: $build installs after a build of ${targets[*]}"
