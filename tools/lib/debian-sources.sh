# Debian source packages through an apt configuration of the caller's own (sourced by the
# scripts that cross-build the Windows libraries). The system's apt configuration is not
# touched: the deb-src entries take the system's archive URI and key.
#   debian_sources DIR SUITE    sets apt_opts for SUITE's sources, kept in DIR; fetches the
#                               source index when it is missing or a week old
#   source_version PACKAGE      the newest version in that index
#   fetch_source PACKAGE VERSION DEST
#                               downloads and unpacks the package (Debian's patches applied)
#                               into DEST once; prints the unpacked tree
# The caller defines say().

# The system's own Debian archive and key (deb822 or one-line sources), for the release suite.
system_archive() {
  local f
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    awk 'BEGIN { RS = ""; FS = "\n" }
      /(^|\n)Types:[^\n]*deb/ && /(^|\n)Suites:[^\n]*[ \t]bookworm([ \t]|\n|$)/ {
        uri = ""; key = ""
        for (i = 1; i <= NF; i++) {
          if ($i ~ /^URIs:/) { split($i, a, /[ \t]+/); uri = a[2] }
          if ($i ~ /^Signed-By:/) { split($i, a, /[ \t]+/); key = a[2] }
        }
        if (uri != "") { print uri, key; exit }
      }' "$f"
  done
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$f" ] || continue
    sed -n -E 's/^deb[ \t]+(\[[^]]*signed-by=([^] ]+)[^]]*\][ \t]+)?([^ \t]+)[ \t]+bookworm[ \t].*/\3 \2/p' "$f"
  done
}

debian_sources() { # dir suite
  local apt_dir="$1" suite="$2" archive_uri archive_key
  mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial"
  read -r archive_uri archive_key < <(system_archive | head -1) || true
  archive_uri="${archive_uri:-http://deb.debian.org/debian}"
  # The archive key of a newer release is in the keyring package, not always in the system's file.
  if [ "$suite" != bookworm ] || [ -z "$archive_key" ]; then
    archive_key=/usr/share/keyrings/debian-archive-keyring.gpg
  fi
  {
    echo "Types: deb-src"
    echo "URIs: $archive_uri"
    echo "Suites: $suite"
    echo "Components: main"
    echo "Signed-By: $archive_key"
  } >"$apt_dir/veradex-sources.sources"
  apt_opts=(
    -o "Dir::Etc::SourceList=$apt_dir/veradex-sources.sources"
    -o "Dir::Etc::SourceParts=/dev/null"
    -o "Dir::State::Lists=$apt_dir/lists"
    -o "Dir::Cache=$apt_dir/cache"
    -o "Debug::NoLocking=1"
    -o "APT::Sandbox::User=root"
  )
  if [ -z "$(find "$apt_dir/lists" -maxdepth 1 -name '*Sources*' -mtime -7 2>/dev/null | head -1)" ]; then
    say "fetching the $suite source index from $archive_uri"
    apt-get "${apt_opts[@]}" -q update >&2
  fi
}

source_version() { # package
  apt-cache "${apt_opts[@]}" showsrc "$1" 2>/dev/null | sed -n 's/^Version: //p' | sort -V | tail -1
}

fetch_source() { # package version dest
  local pkg="$1" version="$2" dir="$3"
  if [ ! -f "$dir/.unpacked" ]; then
    rm -rf "$dir" && mkdir -p "$dir/dl"
    say "downloading the source of $pkg $version"
    (cd "$dir/dl" && apt-get "${apt_opts[@]}" -q source --download-only "$pkg=$version" >&2)
    (cd "$dir" && dpkg-source -x dl/*.dsc tree >&2)
    touch "$dir/.unpacked"
  fi
  echo "$dir/tree"
}
