#!/usr/bin/env bash
# Prints the mirror of Debian's main archive that apt is set up with: the first
# "deb" entry of sources.list, sources.list.d/*.list or sources.list.d/*.sources
# (one-line or deb822 form) whose address ends in /debian, security and source
# entries left aside; http://deb.debian.org/debian where there is none. Any of
# those files may be missing: a stock Debian 12 or 13 has only debian.sources.
#   tools/apt-mirror.sh [APT_DIR]        (default /etc/apt)
set -euo pipefail
apt_dir=${1:-/etc/apt}
shopt -s nullglob
files=()
for file in "$apt_dir/sources.list" "$apt_dir"/sources.list.d/*.list "$apt_dir"/sources.list.d/*.sources; do
  [ -f "$file" ] && [ -r "$file" ] && files+=("$file")
done
mirror=
if [ ${#files[@]} -gt 0 ]; then
  # One-line entries name their type first; deb822 stanzas list it apart, so a
  # stanza's addresses count only when its Types include "deb".
  mirror=$(awk '
    function take(uri) { if (uri !~ /security/ && uri ~ /^https?:\/\/.*\/debian\/?$/ && found == "") found = uri }
    function stanza_ends(   n, i, u) {
      if (types ~ /(^| )deb( |$)/) { n = split(uris, u, " "); for (i = 1; i <= n; i++) take(u[i]) }
      types = ""; uris = ""
    }
    FNR == 1 { stanza_ends() }
    /^[[:space:]]*#/ { next }
    /^deb[[:space:]]/ {
      for (i = 2; i <= NF; i++) if ($i !~ /^\[/ && $i !~ /\]$/ && $i !~ /=/) { take($i); break }
      next
    }
    /^[[:space:]]*$/ { stanza_ends(); next }
    /^Types:/ { sub(/^Types:[[:space:]]*/, ""); types = $0; next }
    /^URIs:/ { sub(/^URIs:[[:space:]]*/, ""); uris = $0; next }
    END { stanza_ends(); print found }' "${files[@]}")
fi
echo "${mirror:-http://deb.debian.org/debian}"
