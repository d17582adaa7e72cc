#!/usr/bin/env bash
# Runs a command beside a pool of private X displays, each with its own Wine
# prefix and wineserver, all started here and stopped by PID when it ends.
#   tools/run-wine.sh [--displays N] [--no-win32] COMMAND [ARGS...]
# The command sees DISPLAY and WINEPREFIX of the first display, WINE and WINE32
# (the 64- and 32-bit loaders), WINE32PREFIX (the prefix 32-bit programs use there),
# GLIMBER_WINE_POOL (the pool's folder, for tools/wine-launch.sh, which gives each
# test the display ctest hands it) and GLIMBER_DISPLAYS (how many displays it holds).
set -euo pipefail

top=$(cd "$(dirname "$0")/.." && pwd)
count=1 want32=yes
while :; do
  case ${1:-} in
    --displays) count=$2; shift 2 ;;
    # Only 64-bit programs will run (make demo): no 32-bit prefix, server or keeper.
    --no-win32) want32=no; shift ;;
    *) break ;;
  esac
done

export WINE=/usr/lib/wine/wine64
export WINESERVER=/usr/lib/wine/wineserver64
export WINEDEBUG=-all
# No Mono or Gecko install prompts when a prefix is created.
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64
# Debian's wine32:i386 shares the 64-bit prefix; the project's private 32-bit Wine
# (tools/wine32.sh) is 32-bit only and gets prefixes, servers and keepers of its own.
own32=no
if [ -x /usr/lib/wine/wine ]; then
  export WINE32=/usr/lib/wine/wine
elif "$top/tools/wine32.sh" --ready; then
  export WINE32="$top/tools/wine32.sh"
  own32=yes
else
  export WINE32=/usr/lib/wine/wine
fi
pool="$top/build/wine-pool/$$"
export GLIMBER_WINE_POOL=$pool GLIMBER_DISPLAYS=$count GLIMBER_WINE32_OWN_PREFIX=$own32

fail() { echo "run-wine: $*" >&2; exit 1; }
# kind 64 or 32, display index: the prefix, and the server command for it.
prefix_of() { if [ "$1" = 32 ] && [ "$own32" = yes ]; then echo "$pool/$2/prefix32"; else echo "$pool/$2/prefix"; fi; }
# The wineserver of a kind, as words in `server_argv` (a path may hold spaces).
server_command() { if [ "$1" = 32 ]; then server_argv=("$WINE32" --server); else server_argv=("$WINESERVER"); fi; }
server() { local server_argv; server_command "$1"; "${server_argv[@]}" "${@:2}"; }
kinds=(64)
[ "$own32" = yes ] && [ "$want32" = yes ] && kinds+=(32)

# Each Wine that will run programs has the X libraries it needs (tools/wine-x-libraries.sh):
# without XInput2, Wine 10 hangs now and then in a full-screen window instead of failing.
. "$top/tools/wine-x-libraries.sh"
lacking() {  # what library folder, package suffix: the packages whose library is not there
  local entry missing=()
  for entry in "${wine_x_libraries[@]}"; do
    [ -e "$1/${entry#*:}" ] || missing+=("${entry%%:*}$2")
  done
  echo "${missing[*]}"
}
missing=$(lacking /usr/lib/x86_64-linux-gnu "")
[ -z "$missing" ] || fail "the 64-bit Wine lacks X libraries it needs; install: $missing (tools/setup.sh does)"
if [ "$want32" = yes ] && "$top/tools/runs-i386.sh" >/dev/null 2>&1; then
  if [ "$own32" = yes ]; then
    missing=$(lacking "${GLIMBER_WINE32_ROOT:-/var/cache/glimber/wine32-root}/usr/lib/i386-linux-gnu" "")
    [ -z "$missing" ] || fail "the private 32-bit Wine lacks X libraries it needs ($missing); make it again: tools/make-wine32-root.sh"
  elif [ -x "$WINE32" ]; then
    missing=$(lacking /usr/lib/i386-linux-gnu :i386)
    [ -z "$missing" ] || fail "the 32-bit Wine lacks X libraries it needs; install: $missing (tools/setup.sh does)"
  fi
fi

xvfb_pids=()
declare -A server_pids
keeper_pids=()
stop() {
  local key pid
  for pid in "${keeper_pids[@]}"; do
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  for key in "${!server_pids[@]}"; do
    WINEPREFIX=$(prefix_of "${key%:*}" "${key#*:}") server "${key%:*}" -k >/dev/null 2>&1 || true
    kill "${server_pids[$key]}" 2>/dev/null || true
    wait "${server_pids[$key]}" 2>/dev/null || true
  done
  for pid in "${xvfb_pids[@]}"; do
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  rm -rf "$pool"
}
trap stop EXIT

# Each X server claims a free display number itself and reports it (-displayfd),
# so runs that start at once on one machine never race for the same number.
rm -rf "$pool"
for ((i = 0; i < count; i++)); do
  mkdir -p "$pool/$i"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$pool/$i/displayfd" >"$pool/$i/xvfb.log" 2>&1 &
  xvfb_pids+=($!)
done
for ((i = 0; i < count; i++)); do
  for _ in $(seq 400); do
    [ -s "$pool/$i/displayfd" ] && break
    kill -0 "${xvfb_pids[$i]}" 2>/dev/null || break
    sleep 0.05
  done
  number=$(head -n 1 "$pool/$i/displayfd" 2>/dev/null || true)
  [[ $number =~ ^[0-9]+$ ]] || fail "X server $i did not start: $(tail -c 300 "$pool/$i/xvfb.log")"
  echo ":$number" >"$pool/$i/display"
done

# The first prefix of each kind is made once, after the loaders are installed (so
# a 64-bit one holds the 32-bit system DLLs of Debian's wine32 too); the others are
# copies of it, which is much faster.
make_first_prefix() {  # kind loader
  local first
  first=$(prefix_of "$1" 0)
  WINEPREFIX=$first DISPLAY=$(cat "$pool/0/display") "$2" cmd /c exit </dev/null >/dev/null 2>&1 || true
  # There is no window manager on the private displays: without this, Wine waits
  # about two seconds for one whenever a full-screen or captioned window goes away.
  WINEPREFIX=$first "$2" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1 ||
    fail "cannot make the $1-bit Wine prefix $first"
  WINEPREFIX=$first server "$1" -w
  for ((i = 1; i < count; i++)); do cp -a "$first" "$(prefix_of "$1" "$i")"; done
}
make_first_prefix 64 "$WINE" &
made=($!)
[ "${kinds[*]}" = "64 32" ] && { make_first_prefix 32 "$WINE32" & made+=($!); }
for pid in "${made[@]}"; do wait "$pid" || exit 1; done

# One persistent server per prefix for the whole run, and one warm-up with each
# loader, so no test waits for Wine's start-up or for lingering services. A loader
# that finds no server listening starts one of its own, and the persistent one
# started beside it then finds the prefix's lock taken and quits (status 2, saying
# nothing): so each server is seen listening on its socket before any loader runs.
# The socket is in wineserver's folder for the prefix, named by its device and inode,
# under /tmp/.wine-UID upstream and under a /tmp/wine-XXXXXX of Debian's making.
server_listens() {  # prefix
  local name
  name=$(printf 'server-%x-%x' "$(stat -c %d "$1")" "$(stat -c %i "$1")")
  compgen -G "/tmp/.wine-$(id -u)/$name/socket" >/dev/null || compgen -G "/tmp/wine-*/$name/socket" >/dev/null
}
for kind in "${kinds[@]}"; do
  for ((i = 0; i < count; i++)); do
    # Started directly, not through a function, so that $! is the server itself.
    server_command "$kind"
    WINEPREFIX=$(prefix_of "$kind" "$i") "${server_argv[@]}" -f -p </dev/null >"$pool/$i/server$kind.log" 2>&1 &
    server_pids[$kind:$i]=$!
  done
done
server_down() {  # key: says why the server is not running, and fails
  local status=0 note=
  wait "${server_pids[$1]}" || status=$?
  unset "server_pids[$1]"
  [ "$status" = 2 ] && note=" (another server held its prefix's lock)"
  fail "the ${1%:*}-bit wineserver of display ${1#*:} exited with status $status$note; its log: $(head -c 300 "$pool/${1#*:}/server${1%:*}.log")"
}
for key in "${!server_pids[@]}"; do
  prefix=$(prefix_of "${key%:*}" "${key#*:}")
  for _ in $(seq 1200); do
    server_listens "$prefix" && break
    kill -0 "${server_pids[$key]}" 2>/dev/null || break
    sleep 0.05
  done
  kill -0 "${server_pids[$key]}" 2>/dev/null || server_down "$key"
  server_listens "$prefix" || fail "the ${key%:*}-bit wineserver of display ${key#*:} made no socket for $prefix in 60 s"
done
warm_pids=()
for ((i = 0; i < count; i++)); do
  (
    export DISPLAY
    DISPLAY=$(cat "$pool/$i/display")
    WINEPREFIX=$(prefix_of 64 "$i") "$WINE" cmd /c exit </dev/null >/dev/null 2>&1 || true
    if [ "$want32" = yes ] && [ -x "$WINE32" ]; then
      WINEPREFIX=$(prefix_of 32 "$i") "$WINE32" cmd /c exit </dev/null >/dev/null 2>&1 || true
    fi
  ) &
  warm_pids+=($!)
done
wait "${warm_pids[@]}"
for key in "${!server_pids[@]}"; do
  kill -0 "${server_pids[$key]}" 2>/dev/null || server_down "$key"
done

# Wine closes a display's desktop a second after its last program ends, and every
# program after that waits for a new desktop process: under load long enough for
# Wine to give up, and then no top-level window can be created. One program per
# display and prefix keeps its desktop open for the whole run, and no test starts
# before each has shown a window of it.
keepers=()
for kind in "${kinds[@]}"; do
  build=win$kind loader=$WINE
  [ "$kind" = 32 ] && loader=$WINE32
  keeper="$top/build/$build/desktop_keeper.exe"
  [ -f "$keeper" ] || fail "$keeper is missing: build $build first"
  for ((i = 0; i < count; i++)); do
    log="$pool/$i/keeper$kind.log"
    WINEPREFIX=$(prefix_of "$kind" "$i") DISPLAY=$(cat "$pool/$i/display") "$loader" "$keeper" </dev/null >"$log" 2>&1 &
    keeper_pids+=($!)
    keepers+=("$log")
  done
done
for index in "${!keepers[@]}"; do
  log=${keepers[$index]}
  # Generous: six fresh desktops start at once on two cores.
  for _ in $(seq 1200); do
    grep -qs 'desktop ready' "$log" && break
    kill -0 "${keeper_pids[$index]}" 2>/dev/null || break
    sleep 0.05
  done
  grep -qs 'desktop ready' "$log" || fail "a desktop keeper did not start ($log): $(head -c 300 "$log")"
done

DISPLAY=$(cat "$pool/0/display")
export DISPLAY WINEPREFIX=$(prefix_of 64 0) WINE32PREFIX=$(prefix_of 32 0)
"$@"
