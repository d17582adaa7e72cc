#!/usr/bin/env bash
# Checks the package a user downloads: builds it, builds both architectures a
# second time in other folders and packages them again (the zips must be the same
# bytes), then unpacks it into a fresh folder, checks SHA256SUMS.txt and runs each
# unpacked reference host with the unpacked DLL beside it through the demo scene's
# pixel check.   tools/check-dist.sh    (after make win32 win64)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
fail() { echo "dist: $*"; exit 1; }

packed=$(tools/dist.sh) || fail "packaging failed"
read -r zip hash <<<"$(paste -sd' ' <<<"$packed")"
echo "dist: $zip $hash"

again=build/repro
for arch in win32:i686 win64:x86_64; do
  build=${arch%%:*}
  cmake -S . -B "$again/$build" -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-${arch#*:}.cmake" \
    -DGLIMBER_WIN_TESTS=OFF >/dev/null || fail "cannot configure $again/$build"
  cmake --build "$again/$build" --target GlimberHost -j "$(nproc)" >/dev/null || fail "cannot build $again/$build"
done
packed=$(tools/dist.sh "$again" "$again/dist") || fail "packaging the second build failed"
read -r _ rehash <<<"$(paste -sd' ' <<<"$packed")"
[ "$hash" = "$rehash" ] || fail "not reproducible: a second build packages to $rehash"
echo "dist: a second build in $again packages to the same bytes"

unpacked=build/dist/unpacked
rm -rf "$unpacked"
mkdir -p "$unpacked"
unzip -q "$zip" -d "$unpacked" || fail "cannot unpack $zip"
(cd "$unpacked" && sha256sum --quiet -c SHA256SUMS.txt) || fail "SHA256SUMS.txt does not match"
echo "dist: unpacked, every checksum in SHA256SUMS.txt matches"
# Windows programs, not console ones: started from Explorer, no console window opens.
for arch in x86 x64; do
  subsystem=$(tools/pe-info.py "$unpacked/$arch/GlimberHost.exe" | sed -n 's/^subsystem //p')
  [ "$subsystem" = 2 ] || fail "$arch/GlimberHost.exe has subsystem ${subsystem:-none}, not 2 (Windows GUI)"
done
echo "dist: both GlimberHost.exe are Windows GUI programs (subsystem 2)"

# Both hosts in one Wine session: each from its own folder, with the DLL beside it.
# Only a machine that cannot execute 32-bit code may leave the x86 host unrun.
results=$(tools/run-wine.sh bash -c '
  for arch in x86:win32 x64:win64; do
    if [ "${arch%:*}" = x86 ]; then
      why=$(tools/probe-win32.sh) && probe=0 || probe=$?
      [ "$probe" -eq 2 ] && { echo "x86 skipped: $why"; continue; }
      [ "$probe" -ne 0 ] && { echo "x86 cannot run: $why"; continue; }
    fi
    # A host that has done its work must also end by itself: one that ends only
    # through the timeout fails, whatever it printed.
    status=0
    (cd "$1/${arch%:*}" && timeout 120 "$2/tools/wine-launch.sh" "${arch#*:}" GlimberHost.exe --demo demo-check.png --check \
      </dev/null >host.log 2>&1) || status=$?
    line=$(grep -E "^demo: " "$1/${arch%:*}/host.log" | tail -n 1 | tr -d "\r")
    rm -f "$1/${arch%:*}/host.log"
    case $status in
      0) echo "${arch%:*} ${line:-no result}" ;;
      124) echo "${arch%:*} did not end within 120 s${line:+ after printing: $line}" ;;
      *) echo "${arch%:*} exited with status $status${line:+ after printing: $line}" ;;
    esac
  done' _ "$unpacked" "$top") || fail "the Wine displays could not be started"
status=0
while read -r arch line; do
  echo "dist: $arch/GlimberHost.exe with $arch/Glimber.dll: $line"
  [ "$line" = "skipped:${line#skipped:}" ] && continue
  grep -qE "^demo: .* 0 of [1-9][0-9]* magnified pixels differ .*; 0 stray pixels" <<<"$line" || status=1
done <<<"$results"
[ -n "$results" ] || status=1
exit "$status"
