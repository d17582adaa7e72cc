#!/usr/bin/env bash
# Runs the reference host with the 64-bit Glimber.dll under Wine.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
host="$top/build/win64/GlimberHost.exe"
if [ -n "${DISPLAY:-}" ]; then
  export WINEPREFIX="${WINEPREFIX:-$top/build/wine-desktop}" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  exec /usr/lib/wine/wine64 "$host"
fi
png="$top/build/demo/glimber-demo.png"
mkdir -p "$(dirname "$png")"
rm -f "$png"
timeout 120 "$top/tools/run-wine.sh" --no-win32 bash -c '"$WINE" "$1" --demo "Z:${2//\//\\}"' _ "$host" "$png"
[ -s "$png" ] || { echo "demo: no screenshot was written" >&2; exit 1; }
echo "$png"
