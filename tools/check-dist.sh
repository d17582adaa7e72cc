#!/usr/bin/env bash
# Checks the package a user downloads: builds it, builds both architectures a
# second time in other folders and packages them again (the zips must be the same
# bytes), then unpacks it into a fresh folder, checks SHA256SUMS.txt and runs each
# unpacked reference host with the unpacked DLL beside it through the demo scene's
# pixel check.   tools/check-dist.sh    (after make win32 win64)
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
fail() { echo "dist: $*"; exit 1; }

read -r zip hash < <(tools/dist.sh | paste -sd' ') || fail "packaging failed"
echo "dist: $zip $hash"

again=build/repro
for arch in win32:i686 win64:x86_64; do
  build=${arch%%:*}
  cmake -S . -B "$again/$build" -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-${arch#*:}.cmake" \
    -DGLIMBER_WIN_TESTS=OFF >/dev/null || fail "cannot configure $again/$build"
  cmake --build "$again/$build" --target GlimberHost -j "$(nproc)" >/dev/null || fail "cannot build $again/$build"
done
read -r _ rehash < <(tools/dist.sh "$again" "$again/dist" | paste -sd' ') || fail "packaging the second build failed"
[ "$hash" = "$rehash" ] || fail "not reproducible: a second build packages to $rehash"
echo "dist: a second build in $again packages to the same bytes"

unpacked=build/dist/unpacked
rm -rf "$unpacked"
mkdir -p "$unpacked"
unzip -q "$zip" -d "$unpacked" || fail "cannot unpack $zip"
(cd "$unpacked" && sha256sum --quiet -c SHA256SUMS.txt) || fail "SHA256SUMS.txt does not match"
echo "dist: unpacked, every checksum in SHA256SUMS.txt matches"

# Both hosts in one Wine session: each from its own folder, with the DLL beside it.
results=$(tools/run-wine.sh bash -c '
  for arch in x86 x64; do
    loader=$WINE
    if [ "$arch" = x86 ]; then
      if ! skip=$(tools/probe-win32.sh); then echo "x86 not run: $skip"; continue; fi
      loader=$WINE32
    fi
    line=$(cd "$1/$arch" && timeout 120 "$loader" GlimberHost.exe --demo demo-check.png --check </dev/null 2>&1 |
      grep -E "^demo: " | tail -n 1)
    echo "$arch ${line:-no result}"
  done' _ "$unpacked")
status=0
while read -r arch line; do
  echo "dist: $arch/GlimberHost.exe with $arch/Glimber.dll: $line"
  [ "$line" = "not run:${line#not run:}" ] && continue
  grep -qE "0 of [1-9][0-9]* magnified pixels differ" <<<"$line" || status=1
done <<<"$results"
[ -n "$results" ] || status=1
exit "$status"
