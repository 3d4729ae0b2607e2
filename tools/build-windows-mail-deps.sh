#!/usr/bin/env bash
# Cross-builds the mail libraries of the Windows build (64-bit, MinGW-w64, static) from Debian
# source packages: GMime 3 and libgsf with what they need (GLib with PCRE2, libffi and libintl,
# an iconv, libxml2; zlib comes from libz-mingw-w64-dev). Kept apart from the other libraries
# (tools/build-windows-deps.sh), in
#   ${XDG_CACHE_HOME:-~/.cache}/veradex/win-deps/mail-<key>
# where the key is made of the source versions, the recipes below and the compiler version.
# Each library is marked done on its own: an interrupted run goes on where it stopped.
#
# The sources come from bookworm, libgsf from trixie (bookworm's original tarball of libgsf is
# missing on the mirrors), through apt sources lists of this script's own.
#
# Prints the prefix on its last line of standard output; everything else goes to standard error
# and to the logs in <prefix>/logs/.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
host=x86_64-w64-mingw32
cache_root="${XDG_CACHE_HOME:-$HOME/.cache}/veradex/win-deps"
jobs="$(nproc)"

say() { echo "build-windows-mail-deps: $*" >&2; }

export CC="$host-gcc-posix" CXX="$host-g++-posix" AR="$host-ar" RANLIB="$host-ranlib"
export STRIP="$host-strip" WINDRES="$host-windres" RC="$host-windres"
for tool in "$CC" "$CXX" "$AR" "$WINDRES" dpkg-source meson ninja autoreconf gtkdocize wine; do
  command -v "$tool" >/dev/null || {
    say "$tool is missing (tools/install-deps.sh --windows installs it)"
    exit 1
  }
done

source "$root/tools/lib/debian-sources.sh"

# --- The recipes (each runs in a fresh copy of its source tree; $prefix is the install prefix) --
autotools_static() {
  ./configure --host="$host" --build=x86_64-pc-linux-gnu --prefix="$prefix" --disable-shared --enable-static \
    CPPFLAGS="-I$prefix/include" LDFLAGS="-L$prefix/lib" PKG_CONFIG_LIBDIR="$prefix/lib/pkgconfig:/usr/$host/lib/pkgconfig" "$@"
}

build_pcre2() {
  # The library alone (its test programs do not link statically).
  autotools_static
  make -j"$jobs" install-libLTLIBRARIES install-includeHEADERS install-nodist_includeHEADERS install-pkgconfigDATA
}

build_libffi() {
  autotools_static --disable-docs --disable-multi-os-directory
  make -j"$jobs" install
}

build_libintl() {
  # The intl folder alone: the whole of gettext does not cross-build.
  cd gettext-runtime
  autotools_static --disable-java --disable-csharp --disable-libasprintf --disable-openmp --disable-curses \
    --without-emacs --without-libiconv-prefix
  make -j"$jobs" -C intl
  make -C intl install
}

build_libxml2() {
  # A Debian patch touches Makefile.am.
  autoreconf -fi
  autotools_static --without-iconv --without-python --without-lzma --without-icu --without-http \
    --without-ftp --with-zlib
  make -j"$jobs" install
}

build_glib() {
  cat >cross.txt <<EOF
[binaries]
c = '$CC'
cpp = '$CXX'
ar = '$AR'
strip = '$STRIP'
windres = '$WINDRES'
pkgconfig = 'pkg-config'
exe_wrapper = 'wine'

[built-in options]
c_args = ['-I$prefix/include']
cpp_args = ['-I$prefix/include']
c_link_args = ['-L$prefix/lib']
cpp_link_args = ['-L$prefix/lib']

[properties]
pkg_config_libdir = ['$prefix/lib/pkgconfig', '/usr/$host/lib/pkgconfig']

[host_machine]
system = 'windows'
cpu_family = 'x86_64'
cpu = 'x86_64'
endian = 'little'
EOF
  meson setup _b --cross-file cross.txt --prefix="$prefix" \
    --libdir=lib --buildtype=release --default-library=static --wrap-mode=nodownload -Dtests=false \
    -Dinstalled_tests=false -Dnls=disabled -Dman=false -Dgtk_doc=false -Dlibelf=disabled -Dxattr=false \
    -Dsysprof=disabled -Ddtrace=false -Dsystemtap=false
  ninja -C _b -j"$jobs"
  ninja -C _b install
}

build_iconv() {
  # GLib's own Windows iconv (on Windows' code pages) for GMime, its functions renamed: the
  # static GLib holds the same ones under their usual names.
  local names=(iconv_open iconv_close iconv)
  {
    echo '#pragma once'
    echo '#include <stddef.h>'
    for n in "${names[@]}"; do echo "#define $n veradex_wic_$n"; done
    echo 'typedef void *iconv_t;'
    echo 'iconv_t iconv_open(const char *tocode, const char *fromcode);'
    echo 'int iconv_close(iconv_t cd);'
    echo 'size_t iconv(iconv_t cd, char **inbuf, size_t *inbytesleft, char **outbuf, size_t *outbytesleft);'
  } >"$prefix/include/iconv.h"
  local defines=()
  for n in "${names[@]}"; do defines+=("-D$n=veradex_wic_$n"); done
  "$CC" -O2 "${defines[@]}" -c glib/win_iconv.c -o win_iconv.o
  "$AR" rcs "$prefix/lib/libiconv.a" win_iconv.o
}

build_gmime() {
  # The tarball has neither configure nor ChangeLog (Debian's rules make them the same way).
  touch ChangeLog
  gtkdocize --copy
  autoreconf -fi
  autotools_static ac_cv_have_iconv_detect_h=no ac_cv_lib_iconv_iconv_open=yes --disable-crypto \
    --without-libidn --disable-introspection --disable-vala --disable-gtk-doc
  make -j"$jobs" -C util
  make -j"$jobs" -C gmime libgmime-3.0.la
  make -C gmime install-libLTLIBRARIES install-gmimeincludeHEADERS
  make install-pkgconfigDATA
}

build_libgsf() {
  autotools_static --disable-introspection --without-gdk-pixbuf --without-bz2 --with-zlib --disable-nls \
    --disable-gtk-doc
  make -j"$jobs" -C gsf
  make -C gsf install
  make install-pkgconfigDATA
}

# --- The key ---------------------------------------------------------------------------------
# name:Debian source package:suite, in build order.
libraries=(pcre2:pcre2:bookworm libffi:libffi:bookworm libintl:gettext:bookworm libxml2:libxml2:bookworm
  glib:glib2.0:bookworm iconv:glib2.0:bookworm gmime:gmime:bookworm libgsf:libgsf:trixie)
declare -A versions
key_text="$("$CXX" --version | head -1)"$'\n'"$(declare -f autotools_static)"$'\n'
for entry in "${libraries[@]}"; do
  IFS=: read -r name pkg suite <<<"$entry"
  debian_sources "$cache_root/mail-apt/$suite" "$suite"
  versions[$name]="$(source_version "$pkg")"
  [ -n "${versions[$name]}" ] || {
    say "no source package $pkg in the $suite index"
    exit 1
  }
  key_text+="$name $pkg ${versions[$name]}"$'\n'"$(declare -f "build_$name")"$'\n'
done
key_text+="zlib $(dpkg-query -W -f='${Version}' libz-mingw-w64-dev)"$'\n'
key="$(printf '%s' "$key_text" | sha256sum | cut -c1-16)"
prefix="$cache_root/mail-$key"

if [ -f "$prefix/.complete" ]; then
  say "reusing $prefix"
  echo "$prefix"
  exit 0
fi

mkdir -p "$prefix/logs" "$prefix/.done" "$prefix/include" "$prefix/lib"
printf '%s' "$key_text" >"$prefix/key.txt"
# GLib's configure step runs its checks under Wine, in a prefix of this script's own.
source "$root/tools/lib/wine-env.sh"
trap wine_stop EXIT
start_all=$SECONDS
for entry in "${libraries[@]}"; do
  IFS=: read -r name pkg suite <<<"$entry"
  [ -f "$prefix/.done/$name" ] && continue
  debian_sources "$cache_root/mail-apt/$suite" "$suite"
  src="$(fetch_source "$pkg" "${versions[$name]}" "$cache_root/sources/$pkg"_"${versions[$name]}")"
  work="$cache_root/mail-work/$name"
  rm -rf "$work" && mkdir -p "$(dirname "$work")" && cp -a "$src" "$work"
  # (wineserver -p fails when wineboot's server is still up; that one serves as well)
  if [ "$name" = glib ]; then wine_start "$cache_root/mail-work/wine" || true; fi
  say "building $name ${versions[$name]} (log: $prefix/logs/$name.log)"
  start=$SECONDS
  if ! (cd "$work" && export prefix && nice -n 19 bash -c "set -euo pipefail; $(declare -f autotools_static "build_$name"); \
      host=$host jobs=$jobs build_$name") >"$prefix/logs/$name.log" 2>&1; then
    say "building $name failed; the end of its log:"
    tail -30 "$prefix/logs/$name.log" >&2
    exit 1
  fi
  say "built $name in $((SECONDS - start)) s"
  rm -rf "$work"
  touch "$prefix/.done/$name"
done
# The Wine prefix of GLib's checks and what is left of the sources' copies go.
wine_stop
rm -rf "$cache_root/mail-work"
touch "$prefix/.complete"
say "all mail libraries built in $((SECONDS - start_all)) s into $prefix"
echo "$prefix"
