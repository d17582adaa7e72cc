#!/usr/bin/env bash
# Runs the Win32 suite of both builds under Wine, the cases spread over the
# pool of displays tools/run-wine.sh started, and ends with one line per build:
#   win32: N passed, M failed
#   win64: N passed, M failed
# Where this machine cannot run 32-bit programs, the i686 run is skipped with a
# line saying why (GLIMBER_REQUIRE_WIN32=1 makes that a failure).
#   tools/test-wine.sh [CTEST ARGS...]     (inside tools/run-wine.sh)
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
: "${GLIMBER_RESOURCE_SPEC:?run this inside tools/run-wine.sh}"

# A real 32-bit program, not a guess from the kernel's name: the probe is an i686
# Windows program run by Wine's 32-bit loader, itself a 32-bit Linux program.
win32_skip=
if [ ! -x "$WINE32" ]; then
  win32_skip="Wine's 32-bit loader ($WINE32) is not installed"
elif ! probe=$("$WINE32" build/win32/platform_probe.exe 2>&1 </dev/null); then
  case $probe in
    *"Exec format error"* | *"cannot execute binary file"*) win32_skip="this kernel cannot execute 32-bit programs" ;;
    *) win32_skip="the 32-bit probe program did not run: $(head -c 200 <<<"$probe")" ;;
  esac
elif ! grep -q 'runs 32-bit' <<<"$probe"; then
  win32_skip="the 32-bit probe program answered \"$(head -c 200 <<<"$probe")\""
fi

builds=(win32 win64)
[ -n "$win32_skip" ] && builds=(win64)
declare -A summary
status=0
for build in "${builds[@]}"; do
  log="build/$build/win-tests.log"
  echo "Win32 tests of build/$build/Glimber.dll on $GLIMBER_DISPLAYS displays"
  ctest --test-dir "build/$build" --output-on-failure -j "$GLIMBER_DISPLAYS" \
    --resource-spec-file "$GLIMBER_RESOURCE_SPEC" "$@" 2>&1 | tee "$log"
  [ "${PIPESTATUS[0]}" -eq 0 ] || status=1
  # ctest's own tally: "100% tests passed, 0 tests failed out of 64".
  tally=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1)
  if [ -n "$tally" ]; then
    failed=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$tally")
    total=$(sed -E 's/.* failed out of ([0-9]+).*/\1/' <<<"$tally")
    summary[$build]="$build: $((total - failed)) passed, $failed failed"
  else
    summary[$build]="$build: 0 passed, 0 failed (ctest ran nothing)"
    status=1
  fi
done

if [ -n "$win32_skip" ]; then
  echo "win32: run-time tests skipped: $win32_skip; build/win32/Glimber.dll had its static checks only"
  [ "${GLIMBER_REQUIRE_WIN32:-0}" = 1 ] && { echo "GLIMBER_REQUIRE_WIN32=1: failing for the skipped i686 run"; status=1; }
fi
for build in "${builds[@]}"; do echo "${summary[$build]}"; done
exit "$status"
