#!/usr/bin/env bash
# tools/apt-mirror.sh finds Debian's main mirror with only deb822 files, only
# sources.list, both, or neither, as stock and older Debian machines have them.
set -uo pipefail
. "$(dirname "$0")/check.sh"
expect() {  # what apt-dir want
  local got
  got=$("$top/tools/apt-mirror.sh" "$2" 2>&1) || got="exit $?: $got"
  [ "$got" = "$3" ]
  check "$1" $? "got '$got', want '$3'"
}
deb822=$'Types: deb-src\nURIs: http://src.example/debian\nSuites: trixie\n\nTypes: deb\nURIs: http://security.example/debian-security\nSuites: trixie-security\n\nTypes: deb\nURIs: http://mirror.example/debian\nSuites: trixie trixie-updates\nComponents: main'
one_line=$'# deb http://commented.example/debian bookworm main\ndeb-src http://src.example/debian bookworm main\ndeb [arch=amd64 signed-by=/k.gpg] http://old.example/debian/ bookworm main'

mkdir -p "$work/sources-only/sources.list.d"
printf '%s\n' "$deb822" >"$work/sources-only/sources.list.d/debian.sources"
expect "deb822 file alone (a stock Debian 12 or 13)" "$work/sources-only" http://mirror.example/debian

mkdir -p "$work/list-only"
printf '%s\n' "$one_line" >"$work/list-only/sources.list"
expect "sources.list alone, options in brackets" "$work/list-only" http://old.example/debian/

mkdir -p "$work/both/sources.list.d"
printf 'deb http://security.example/debian-security bookworm-security main\n' >"$work/both/sources.list"
printf '%s\n' "$deb822" >"$work/both/sources.list.d/debian.sources"
printf '%s\n' "$one_line" >"$work/both/sources.list.d/old.list"
expect "both forms: the first main mirror in apt's order" "$work/both" http://old.example/debian/

mkdir -p "$work/none"
expect "no sources at all" "$work/none" http://deb.debian.org/debian
exit "$failed"
