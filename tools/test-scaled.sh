#!/usr/bin/env bash
# The tool in a DPI-unaware host on a display the system scales: each build's
# scaled_tests.exe on a Wine prefix of its own set to 125%, 150% and 200%
# (LogPixels, read when the prefix's server starts), on the pool's first display.
# Ends with one line a build, e.g.
#   win64 scaled: 3 scales, 24 points, 0 failed
# Wine scales DPI-unaware windows from release 10 on: an older Wine is said in one
# line and nothing is run.
#   tools/test-scaled.sh BUILD...      (inside tools/run-wine.sh, after the builds)
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
: "${GLIMBER_WINE_POOL:?run this inside tools/run-wine.sh}"
scales=(120 144 192)

version=$("$WINE" --version 2>/dev/null)
major=$(sed -nE 's/^wine-([0-9]+).*/\1/p' <<<"$version")
if [ -z "$major" ] || [ "$major" -lt 10 ]; then
  echo "scaled: skipped: ${version:-this Wine} does not scale DPI-unaware windows (Wine does from 10 on)"
  exit 0
fi

status=0
for build in "$@"; do
  kind=${build#win}
  prefix=$GLIMBER_WINE_POOL/0/prefix
  server=("$WINESERVER")
  if [ "$kind" = 32 ] && [ "${GLIMBER_WINE32_OWN_PREFIX:-no}" = yes ]; then
    prefix=$GLIMBER_WINE_POOL/0/prefix32
    server=("$WINE32" --server)
  fi
  points=0 failed=0 ran=0
  for dpi in "${scales[@]}"; do
    scaled=$GLIMBER_WINE_POOL/scaled-$kind-$dpi
    rm -rf "$scaled"
    cp -a "$prefix" "$scaled"
    launch() { WINEPREFIX=$scaled WINE32PREFIX=$scaled tools/wine-launch.sh "$build" "$@" </dev/null; }
    for key in 'HKCU\Control Panel\Desktop' 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts'; do
      launch reg add "$key" /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1 ||
        { echo "$build scaled: cannot set LogPixels $dpi in $scaled"; status=1; continue 2; }
    done
    # The scale is read when the prefix's next server starts: let this one end first.
    WINEPREFIX=$scaled "${server[@]}" -w
    log=$GLIMBER_WINE_POOL/scaled-$build-$dpi.log
    GLIMBER_SCALED_DPI=$dpi launch "build/$build/scaled_tests.exe" >"$log" 2>&1
    result=$?
    WINEPREFIX=$scaled "${server[@]}" -k >/dev/null 2>&1
    line=$(grep -oE 'scaled: [0-9]+ dpi, [0-9]+ points, [0-9]+ failed' "$log" | tail -n 1)
    if [ "$result" -ne 0 ] || [ -z "$line" ]; then
      echo "$build scaled: $dpi dpi failed (exit $result):"
      sed 's/^/  /' "$log" | tail -n 60
      status=1
    fi
    if [ -n "$line" ]; then
      ran=$((ran + 1))
      points=$((points + $(sed -E 's/.* ([0-9]+) points.*/\1/' <<<"$line")))
      failed=$((failed + $(sed -E 's/.* ([0-9]+) failed/\1/' <<<"$line")))
    else
      failed=$((failed + 1))
    fi
    rm -rf "$scaled"
  done
  echo "$build scaled: $ran scales, $points points, $failed failed"
done
exit "$status"
