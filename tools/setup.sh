#!/usr/bin/env bash
# Installs, from Debian's packages, whatever the build and the tests need and is not there yet.
# Idempotent: does nothing (and touches no package list) when everything is present.
set -euo pipefail

packages=(
  make g++ cmake googletest
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
  binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
  wine64 wine32:i386 xvfb xauth libstb-dev
  cppcheck clang-tidy clang-format zip unzip
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

# wine32 comes from the i386 architecture, which a fresh machine has not added.
needs_i386=no
dpkg --print-foreign-architectures | grep -qx i386 || needs_i386=yes

if [ "$(id -u)" -ne 0 ]; then
  echo "Missing packages: ${missing[*]}" >&2
  [ "$needs_i386" = yes ] && echo "Run as root:  dpkg --add-architecture i386" >&2
  echo "Run as root:  apt-get update && apt-get install -y --no-install-recommends ${missing[*]}" >&2
  exit 1
fi

echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
[ "$needs_i386" = yes ] && dpkg --add-architecture i386
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
