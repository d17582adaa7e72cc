#!/usr/bin/env bash
# Packages the two builds as one zip a user can install, the same bytes on every
# run from the same commit: fixed file times (the commit's), names in sorted order,
# no extra attributes, and PE files linked without a time stamp.
#   tools/dist.sh [BUILD_ROOT] [OUT_DIR]    (defaults: build, build/dist)
# Prints the zip's path and its SHA-256.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
root=${1:-build}
out=${2:-build/dist}
mkdir -p "$out"
out=$(cd "$out" && pwd)
# The one place the version is written: the DLL's version block.
version=$(sed -nE 's/^FILEVERSION ([0-9]+), *([0-9]+), *([0-9]+), *([0-9]+).*/\1.\2.\3.\4/p' resources/glimber.rc)
[ -n "$version" ] || { echo "dist: no FILEVERSION in resources/glimber.rc" >&2; exit 1; }
zip="$out/Glimber-$version.zip"
epoch=$(git log -1 --format=%ct 2>/dev/null || echo 1767225600)

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
mkdir -p "$stage/x86" "$stage/x64" "$stage/include" "$stage/examples"
cp "$root/win32/Glimber.dll" "$root/win32/GlimberHost.exe" "$stage/x86/"
cp "$root/win64/Glimber.dll" "$root/win64/GlimberHost.exe" "$stage/x64/"
cp plugin/protocol.h "$stage/include/"
cp examples/minimal_host.cpp "$stage/examples/"
sed 's|(\.\./examples/|(examples/|' docs/host-guide.md >"$stage/host-guide.md"
sed "s/@VERSION@/$version/" docs/package-readme.txt >"$stage/README.txt"
cp LICENSE "$stage/LICENSE.txt"
(cd "$stage" && find . -type f ! -name SHA256SUMS.txt | sed 's|^\./||' | LC_ALL=C sort | xargs sha256sum >SHA256SUMS.txt)
chmod 644 $(find "$stage" -type f)
find "$stage" -exec touch -h -d "@$epoch" {} +

rm -f "$zip"
(cd "$stage" && find . -type f | sed 's|^\./||' | LC_ALL=C sort | TZ=UTC zip -X -D -q -@ "$zip")
echo "$zip"
sha256sum "$zip" | cut -d' ' -f1
