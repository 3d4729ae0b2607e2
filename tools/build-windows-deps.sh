#!/usr/bin/env bash
# Cross-builds the libraries of the Windows build (64-bit, MinGW-w64, static) from Debian source
# packages: libpng, OpenSSL 3, SQLite, wxWidgets 3.2 and GoogleTest (zlib comes from
# libz-mingw-w64-dev). The result is kept outside the build tree, in
#   ${XDG_CACHE_HOME:-~/.cache}/veradex/win-deps/<key>
# where the key is made of the source versions, the build recipes below (configure lines) and
# the compiler version, so a later build on the same machine reuses it. Each library is marked
# done on its own: an interrupted run goes on where it stopped.
#
# The source packages are found through an apt sources list of this script's own (deb-src
# entries with the system's archive URIs and key); the system's apt configuration is not touched.
#
# Prints the prefix on its last line of standard output; everything else goes to standard error
# and to the logs in <prefix>/logs/.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
host=x86_64-w64-mingw32
cache_root="${XDG_CACHE_HOME:-$HOME/.cache}/veradex/win-deps"
jobs="$(nproc)"

say() { echo "build-windows-deps: $*" >&2; }

export CC="$host-gcc-posix" CXX="$host-g++-posix" AR="$host-ar" RANLIB="$host-ranlib"
export STRIP="$host-strip" WINDRES="$host-windres" RC="$host-windres"
for tool in "$CC" "$CXX" "$AR" "$WINDRES" dpkg-source; do
  command -v "$tool" >/dev/null || {
    say "$tool is missing (tools/install-deps.sh --windows installs it)"
    exit 1
  }
done

# --- The source packages -------------------------------------------------------------------
source "$root/tools/lib/debian-sources.sh"
debian_sources "$cache_root/apt" bookworm
mkdir -p "$cache_root/sources"

# --- The recipes (each runs in a fresh copy of its source tree; $prefix is the install prefix) --
build_libpng() {
  ./configure --host="$host" --build=x86_64-pc-linux-gnu --prefix="$prefix" --disable-shared --enable-static \
    CPPFLAGS="-I$prefix/include" LDFLAGS="-L$prefix/lib"
  make -j"$jobs" install
}

build_openssl() {
  # Configure puts the cross prefix before the tool names itself.
  env -u CC -u CXX -u AR -u RANLIB -u RC -u WINDRES -u STRIP \
    ./Configure mingw64 no-shared no-tests --cross-compile-prefix="$host-" --prefix="$prefix" \
    --libdir=lib --openssldir="$prefix/ssl" CC=gcc-posix CXX=g++-posix
  make -j"$jobs" build_libs
  make install_dev
}

build_sqlite3() {
  # The amalgamation (one C file) is made on the host from the tree, then compiled for Windows.
  env -u CC -u CXX -u AR -u RANLIB ./configure >/dev/null
  make sqlite3.c
  "$CC" -O2 -DSQLITE_THREADSAFE=1 -DSQLITE_ENABLE_FTS5 -DSQLITE_OMIT_LOAD_EXTENSION -c sqlite3.c -o sqlite3.o
  mkdir -p "$prefix/lib/pkgconfig" "$prefix/include"
  "$AR" rcs "$prefix/lib/libsqlite3.a" sqlite3.o
  cp sqlite3.h sqlite3ext.h "$prefix/include/"
  cat >"$prefix/lib/pkgconfig/sqlite3.pc" <<EOF
prefix=$prefix
libdir=\${prefix}/lib
includedir=\${prefix}/include

Name: SQLite
Description: SQL database engine
Version: $(sed -n 's/^#define SQLITE_VERSION *"\(.*\)"/\1/p' sqlite3.h)
Libs: -L\${libdir} -lsqlite3
Cflags: -I\${includedir}
EOF
}

build_wxwidgets() {
  # Debian's tarball has no bundled zlib/png/jpeg/tiff/expat: the system ones (ours) or none.
  ./configure --host="$host" --build=x86_64-pc-linux-gnu --prefix="$prefix" \
    --with-msw --disable-shared --enable-unicode \
    --enable-webview --enable-webviewie --disable-webviewedge --enable-accessibility \
    --with-zlib=sys --with-libpng=sys --without-libjpeg --without-libtiff --without-expat \
    --without-liblzma --without-libcurl --with-regex=builtin --without-opengl \
    --disable-xrc --disable-html --disable-htmlhelp --disable-richtext --disable-stc --disable-propgrid \
    --disable-ribbon --disable-aui --disable-mediactrl --disable-precomp-headers \
    CPPFLAGS="-I$prefix/include" LDFLAGS="-L$prefix/lib"
  make -j"$jobs"
  make install
}

build_googletest() {
  cmake -S . -B _build -G "Unix Makefiles" -DCMAKE_BUILD_TYPE=Release -DCMAKE_SYSTEM_NAME=Windows \
    -DCMAKE_C_COMPILER="$CC" -DCMAKE_CXX_COMPILER="$CXX" -DCMAKE_RC_COMPILER="$WINDRES" \
    -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_GMOCK=ON -Dgtest_force_shared_crt=ON
  cmake --build _build --parallel "$jobs"
  cmake --install _build
}

# --- The key ---------------------------------------------------------------------------------
# package name in Debian, recipe
libraries=(libpng:libpng1.6 openssl:openssl sqlite3:sqlite3 wxwidgets:wxwidgets3.2 googletest:)
declare -A versions
key_text="$("$CXX" --version | head -1)"$'\n'
for entry in "${libraries[@]}"; do
  name="${entry%%:*}" pkg="${entry#*:}"
  if [ -n "$pkg" ]; then
    versions[$name]="$(source_version "$pkg")"
    [ -n "${versions[$name]}" ] || {
      say "no source package $pkg in the index"
      exit 1
    }
  else
    versions[$name]="$(dpkg-query -W -f='${Version}' googletest)"
  fi
  key_text+="$name ${versions[$name]}"$'\n'"$(declare -f "build_$name")"$'\n'
done
key_text+="zlib $(dpkg-query -W -f='${Version}' libz-mingw-w64-dev)"$'\n'
key="$(printf '%s' "$key_text" | sha256sum | cut -c1-16)"
prefix="$cache_root/$key"

if [ -f "$prefix/.complete" ]; then
  say "reusing $prefix"
  echo "$prefix"
  exit 0
fi

mkdir -p "$prefix/logs" "$prefix/.done"
printf '%s' "$key_text" >"$prefix/key.txt"
start_all=$SECONDS
for entry in "${libraries[@]}"; do
  name="${entry%%:*}" pkg="${entry#*:}"
  [ -f "$prefix/.done/$name" ] && continue
  if [ -n "$pkg" ]; then
    src="$(fetch_source "$pkg" "${versions[$name]}" "$cache_root/sources/${pkg}_${versions[$name]}")"
  else
    src=/usr/src/googletest
  fi
  work="$cache_root/work/$name"
  rm -rf "$work" && mkdir -p "$(dirname "$work")" && cp -a "$src" "$work"
  say "building $name ${versions[$name]} (log: $prefix/logs/$name.log)"
  start=$SECONDS
  if ! (cd "$work" && export prefix && nice -n 19 bash -c "set -euo pipefail; $(declare -f "build_$name"); \
      host=$host jobs=$jobs build_$name") >"$prefix/logs/$name.log" 2>&1; then
    say "building $name failed; the end of its log:"
    tail -30 "$prefix/logs/$name.log" >&2
    exit 1
  fi
  say "built $name in $((SECONDS - start)) s"
  rm -rf "$work"
  touch "$prefix/.done/$name"
done
touch "$prefix/.complete"
say "all libraries built in $((SECONDS - start_all)) s into $prefix"
echo "$prefix"
