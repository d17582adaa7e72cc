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
  cppcheck clang-tidy clang-format zip unzip
)
# Wine's 32-bit loader runs the i686 suite. Without it that run is skipped with a
# line saying why, so a machine that cannot have it still builds and tests the rest.
optional=(wine32:i386)
# When the 32-bit loader could not be installed, it is not tried again for an hour:
# every make target runs this script, and each try refreshes the package lists.
optional_marker="$top/build/setup/optional-unavailable"

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

missing=()
for p in "${packages[@]}"; do installed "$p" || missing+=("$p"); done
missing_optional=()
for p in "${optional[@]}"; do installed "$p" || missing_optional+=("$p"); done
if [ ${#missing[@]} -eq 0 ] && [ -n "$(find "$optional_marker" -mmin -60 2>/dev/null)" ]; then
  missing_optional=()
fi

if [ ${#missing[@]} -eq 0 ] && [ ${#missing_optional[@]} -eq 0 ]; then
  exit 0
fi

# wine32 comes from the i386 architecture, which a fresh machine has not added.
needs_i386=no
dpkg --print-foreign-architectures | grep -qx i386 || needs_i386=yes

if [ "$(id -u)" -ne 0 ]; then
  echo "Missing packages: ${missing[*]} ${missing_optional[*]}" >&2
  [ "$needs_i386" = yes ] && echo "Run as root:  dpkg --add-architecture i386" >&2
  echo "Run as root:  apt-get update && apt-get install -y --no-install-recommends ${missing[*]} ${missing_optional[*]}" >&2
  [ ${#missing[@]} -eq 0 ] && exit 0
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
    echo "setup: ${missing_optional[*]} could not be installed; the i686 Win32 run will be skipped:" \
      "$(grep -m1 '^E:' <<<"$log" || tail -n 1 <<<"$log")" >&2
    echo "$log" >"$optional_marker"
  fi
fi
