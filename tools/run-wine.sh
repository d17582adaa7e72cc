#!/usr/bin/env bash
# Runs a command beside a pool of private X displays, each with its own Wine
# prefix and wineserver, all started here and stopped by PID when it ends.
#   tools/run-wine.sh [--displays N] COMMAND [ARGS...]
# The command sees DISPLAY and WINEPREFIX of the first display, WINE and WINE32
# (the 64- and 32-bit loaders), GLIMBER_WINE_POOL (the pool's folder, for
# tools/wine-launch.sh, which gives each test the display ctest hands it) and
# GLIMBER_DISPLAYS (how many displays the pool holds).
set -euo pipefail

top=$(cd "$(dirname "$0")/.." && pwd)
count=1
if [ "${1:-}" = --displays ]; then count=$2; shift 2; fi

export WINE=/usr/lib/wine/wine64
export WINE32=/usr/lib/wine/wine
export WINESERVER=/usr/lib/wine/wineserver64
export WINEDEBUG=-all
# No Mono or Gecko install prompts when a prefix is created.
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64
pool="$top/build/wine-pool/$$"
export GLIMBER_WINE_POOL=$pool GLIMBER_DISPLAYS=$count

xvfb_pids=()
server_pids=()
keeper_pids=()
stop() {
  local i pid
  for pid in "${keeper_pids[@]}"; do
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  for i in "${!server_pids[@]}"; do
    WINEPREFIX="$pool/$i/prefix" "$WINESERVER" -k >/dev/null 2>&1 || true
    kill "${server_pids[$i]}" 2>/dev/null || true
    wait "${server_pids[$i]}" 2>/dev/null || true
  done
  for pid in "${xvfb_pids[@]}"; do
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  rm -rf "$pool"
}
trap stop EXIT

rm -rf "$pool"
next=91
for ((i = 0; i < count; i++)); do
  display=
  for ((n = next; n < 300; n++)); do
    if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then display=$n; break; fi
  done
  [ -n "$display" ] || { echo "run-wine: no free X display number" >&2; exit 1; }
  next=$((display + 1))
  Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp -noreset >/dev/null 2>&1 &
  xvfb_pids+=($!)
  mkdir -p "$pool/$i"
  echo ":$display" >"$pool/$i/display"
done
for ((i = 0; i < count; i++)); do
  display=$(cat "$pool/$i/display")
  for _ in $(seq 200); do [ -e "/tmp/.X11-unix/X${display#:}" ] && break; sleep 0.05; done
done

# The first prefix is made once, after both loaders are installed, so it holds the
# 32-bit system DLLs too; the others are copies of it, which is much faster.
first="$pool/0/prefix"
WINEPREFIX=$first DISPLAY=$(cat "$pool/0/display") "$WINE" cmd /c exit </dev/null >/dev/null 2>&1 || true
# There is no window manager on the private displays: without this, Wine waits
# about two seconds for one whenever a full-screen or captioned window goes away.
WINEPREFIX=$first "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1
WINEPREFIX=$first "$WINESERVER" -w
for ((i = 1; i < count; i++)); do cp -a "$first" "$pool/$i/prefix"; done

# One persistent server per prefix for the whole run, and one warm-up with each
# loader, so no test waits for Wine's start-up or for lingering services.
for ((i = 0; i < count; i++)); do
  WINEPREFIX="$pool/$i/prefix" "$WINESERVER" -f -p </dev/null >/dev/null 2>&1 &
  server_pids+=($!)
done
warm_pids=()
for ((i = 0; i < count; i++)); do
  (
    export WINEPREFIX="$pool/$i/prefix" DISPLAY
    DISPLAY=$(cat "$pool/$i/display")
    "$WINE" cmd /c exit </dev/null >/dev/null 2>&1 || true
    if [ -x "$WINE32" ]; then "$WINE32" cmd /c exit </dev/null >/dev/null 2>&1 || true; fi
  ) &
  warm_pids+=($!)
done
wait "${warm_pids[@]}"

# Wine closes a display's desktop a second after its last program ends, and every
# program after that waits for a new desktop process: under load long enough for
# Wine to give up, and then no top-level window can be created. One program per
# display keeps its desktop open for the whole run, and no test starts before each
# display has shown a window of it.
keeper="$top/build/win64/desktop_keeper.exe"
[ -f "$keeper" ] || { echo "run-wine: $keeper is missing: build win64 first" >&2; exit 1; }
for ((i = 0; i < count; i++)); do
  WINEPREFIX="$pool/$i/prefix" DISPLAY=$(cat "$pool/$i/display") "$WINE" "$keeper" </dev/null >"$pool/$i/keeper.log" 2>&1 &
  keeper_pids+=($!)
done
for ((i = 0; i < count; i++)); do
  # Generous: six fresh desktops start at once on two cores.
  for _ in $(seq 1200); do
    grep -q 'desktop ready' "$pool/$i/keeper.log" && break
    kill -0 "${keeper_pids[$i]}" 2>/dev/null || break
    sleep 0.05
  done
  if ! grep -q 'desktop ready' "$pool/$i/keeper.log"; then
    echo "run-wine: display $(cat "$pool/$i/display") is not usable: $(head -c 300 "$pool/$i/keeper.log")" >&2
    exit 1
  fi
done

DISPLAY=$(cat "$pool/0/display")
export DISPLAY WINEPREFIX=$first
"$@"
