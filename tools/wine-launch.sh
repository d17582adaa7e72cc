#!/usr/bin/env bash
# Runs one Windows program under the given Wine loader. Inside a ctest run that
# allocates displays (tools/run-wine.sh sets up the pool), the program gets the
# display and Wine prefix of the slot ctest gave its test; otherwise it uses
# DISPLAY and WINEPREFIX as they are.
#   tools/wine-launch.sh LOADER PROGRAM [ARGS...]
set -euo pipefail
loader=$1
shift
slot=${CTEST_RESOURCE_GROUP_0_DISPLAY:-}
if [ -n "$slot" ] && [ -n "${GLIMBER_WINE_POOL:-}" ]; then
  id=${slot#id:}
  id=${id%%,*}
  DISPLAY=$(cat "$GLIMBER_WINE_POOL/$id/display")
  export DISPLAY WINEPREFIX="$GLIMBER_WINE_POOL/$id/prefix"
fi
exec "$loader" "$@"
