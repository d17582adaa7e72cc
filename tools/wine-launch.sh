#!/usr/bin/env bash
# Runs one Windows program of the given build under that build's Wine loader
# (inside tools/run-wine.sh: WINE for win64, WINE32 for win32), in its prefix.
# Inside a ctest run that allocates displays, the program gets the display and
# Wine prefix of the slot ctest gave its test; otherwise the pool's first display.
#   tools/wine-launch.sh win32|win64 PROGRAM [ARGS...]
set -euo pipefail
build=$1
shift
case $build in
  win64) loader=${WINE:-/usr/lib/wine/wine64} prefix=${WINEPREFIX:-} kind=prefix ;;
  win32) loader=${WINE32:-/usr/lib/wine/wine} prefix=${WINE32PREFIX:-${WINEPREFIX:-}} kind=prefix ;;
  *) echo "wine-launch: unknown build $build" >&2; exit 2 ;;
esac
[ "$build" = win32 ] && [ "${GLIMBER_WINE32_OWN_PREFIX:-no}" = yes ] && kind=prefix32
slot=${CTEST_RESOURCE_GROUP_0_DISPLAY:-}
if [ -n "$slot" ] && [ -n "${GLIMBER_WINE_POOL:-}" ]; then
  id=${slot#id:}
  id=${id%%,*}
  DISPLAY=$(cat "$GLIMBER_WINE_POOL/$id/display")
  prefix="$GLIMBER_WINE_POOL/$id/$kind"
  export DISPLAY
fi
[ -n "$prefix" ] && export WINEPREFIX=$prefix
exec "$loader" "$@"
