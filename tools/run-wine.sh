#!/usr/bin/env bash
# Runs a command with a private X display and a private Wine prefix, both
# started here and stopped by PID when the command ends.
#   tools/run-wine.sh COMMAND [ARGS...]
set -euo pipefail

top=$(cd "$(dirname "$0")/.." && pwd)
export WINE=/usr/lib/wine/wine64
export WINESERVER=/usr/lib/wine/wineserver64
export WINEPREFIX="$top/build/wine-prefix"
export WINEDEBUG=-all
# No Mono or Gecko install prompts when the prefix is created.
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64

display=
for n in $(seq 91 199); do
  if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then display=$n; break; fi
done
[ -n "$display" ] || { echo "run-wine: no free X display number" >&2; exit 1; }

xvfb_pid=
server_pid=
stop() {
  [ -n "$server_pid" ] && { "$WINESERVER" -k >/dev/null 2>&1 || true; kill "$server_pid" 2>/dev/null || true; wait "$server_pid" 2>/dev/null || true; }
  [ -n "$xvfb_pid" ] && { kill "$xvfb_pid" 2>/dev/null || true; wait "$xvfb_pid" 2>/dev/null || true; }
}
trap stop EXIT

Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.05; done
export DISPLAY=":$display"

rm -rf "$WINEPREFIX"
mkdir -p "$WINEPREFIX"
# One persistent server for the whole run, and one warm-up, so no test waits
# for Wine's start-up or for lingering services holding its output open.
"$WINESERVER" -f -p </dev/null >/dev/null 2>&1 &
server_pid=$!
"$WINE" cmd /c exit </dev/null >/dev/null 2>&1 || true
# There is no window manager on the private display: without this, Wine waits
# about two seconds for one whenever a full-screen or captioned window goes away.
"$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1

"$@"
