#!/usr/bin/env bash
# Installs, from Debian's packages, whatever the build and the tests need and is not there yet.
# Idempotent: does nothing (and touches no package list) when everything is present.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)

packages=(
  make g++ cmake googletest
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
  binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
  wine64 xvfb xauth libstb-dev
  cppcheck clang clang-tidy clang-format zip unzip python3-pefile
  debootstrap debian-archive-keyring bubblewrap
)
# Wine's 32-bit loader runs the i686 suite: Debian's wine32:i386 where it installs,
# else, on a machine that executes 32-bit code, the project's own private i386 root
# (tools/make-wine32-root.sh, run through tools/wine32.sh).
optional=(wine32:i386)
# The X libraries each Wine loads at run time (see there), for the 64-bit Wine and the 32-bit one.
. "$top/tools/wine-x-libraries.sh"
packages+=("${wine_x_packages[@]}")
for package in "${wine_x_packages[@]}"; do optional+=("$package:i386"); done
# When wine32:i386 could not be installed, it is not tried again for an hour: every
# make target runs this script, and each try refreshes the package lists. Kept
# outside the checkout, like the root, so a fresh clone does not try again at once.
cache=/var/cache/glimber
optional_marker="$cache/wine32-i386-unavailable"

# The private root stands in for wine32:i386 only where 32-bit code runs at all;
# where it cannot be made, the Win32 runner fails with the cause from its log.
private_wine32() {
  installed wine32:i386 && return 0
  "$top/tools/runs-i386.sh" >/dev/null || return 0
  "$top/tools/wine32.sh" --ready && return 0
  [ "$(id -u)" -eq 0 ] || { echo "setup: run tools/make-wine32-root.sh as root for the i686 Win32 run" >&2; return 0; }
  # A failed attempt (the mirror, the disk) is not repeated for an hour either.
  [ -n "$(find "$cache/wine32-root-failed" -mmin -60 2>/dev/null)" ] && return 0
  if "$top/tools/make-wine32-root.sh"; then
    rm -f "$cache/wine32-root-failed"
  else
    echo "setup: the private 32-bit Wine could not be made; the i686 Win32 run will fail" >&2
    mkdir -p "$cache" && touch "$cache/wine32-root-failed"
  fi
}

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

missing=()
for p in "${packages[@]}"; do installed "$p" || missing+=("$p"); done
missing_optional=()
for p in "${optional[@]}"; do installed "$p" || missing_optional+=("$p"); done
if [ ${#missing[@]} -eq 0 ] && [ -n "$(find "$optional_marker" -mmin -60 2>/dev/null)" ]; then
  missing_optional=()
fi

if [ ${#missing[@]} -eq 0 ] && [ ${#missing_optional[@]} -eq 0 ]; then
  private_wine32
  exit 0
fi

# wine32 comes from the i386 architecture, which a fresh machine has not added.
needs_i386=no
dpkg --print-foreign-architectures | grep -qx i386 || needs_i386=yes

if [ "$(id -u)" -ne 0 ]; then
  echo "Missing packages: ${missing[*]} ${missing_optional[*]}" >&2
  [ "$needs_i386" = yes ] && echo "Run as root:  dpkg --add-architecture i386" >&2
  echo "Run as root:  apt-get update && apt-get install -y --no-install-recommends ${missing[*]} ${missing_optional[*]}" >&2
  [ ${#missing[@]} -eq 0 ] && { private_wine32; exit 0; }
  exit 1
fi

echo "Installing: ${missing[*]} ${missing_optional[*]}"
export DEBIAN_FRONTEND=noninteractive
[ "$needs_i386" = yes ] && dpkg --add-architecture i386
# A mirror caught mid-sync fails one index (often the security suite's i386 list):
# what the other lists hold is still enough, so go on and let the install decide.
apt-get update -qq || echo "setup: some package lists could not be refreshed; installing from the rest" >&2
if [ ${#missing[@]} -gt 0 ]; then
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
if [ ${#missing_optional[@]} -gt 0 ]; then
  mkdir -p "$(dirname "$optional_marker")"
  if log=$(apt-get install -y -qq --no-install-recommends "${missing_optional[@]}" 2>&1); then
    rm -f "$optional_marker"
  else
    # Typically an i386 package list that could not be fetched, so the i386 libraries
    # cannot match the versions of their installed amd64 twins.
    echo "setup: ${missing_optional[*]} could not be installed; a private 32-bit Wine will stand in where 32-bit code runs:" \
      "$(grep -m1 '^E:' <<<"$log" || tail -n 1 <<<"$log")" >&2
    echo "$log" >"$optional_marker"
  fi
fi
private_wine32
