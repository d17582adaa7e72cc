#!/usr/bin/env bash
# Runs the Win32 suites of both builds N times, each time on a fresh pool of six
# displays, while a plain CPU hog keeps the other core busy; then names every test
# that failed at least once:
#   win64 ToolWindow.SizeChangeComputesTheSource: 1 of 10 runs failed
#   stress: 10 runs, 1 failures
#   tools/stress-wine.sh N [CTEST ARGS...]      (after make win32 win64)
# Exits non-zero when any run failed.
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
runs=${1:?usage: tools/stress-wine.sh N [ctest arguments]}
shift

bash -c 'while :; do :; done' &
hog=$!
trap 'kill "$hog" 2>/dev/null; wait "$hog" 2>/dev/null' EXIT

logs="$top/build/stress"
rm -rf "$logs"
mkdir -p "$logs"
declare -A failed_runs
for ((run = 1; run <= runs; run++)); do
  start=$(date +%s)
  rm -f build/win32/win-tests.xml build/win64/win-tests.xml
  tools/run-wine.sh --displays "${WINE_DISPLAYS:-6}" tools/test-wine.sh "$@" >"$logs/run-$run.log" 2>&1
  status=$?
  failures=()
  for build in win32 win64; do
    report="build/$build/win-tests.xml"
    [ -f "$report" ] || continue
    while read -r name; do failures+=("$build $name"); done < <(
      grep -oE '<testcase name="[^"]+"[^>]*status="fail"' "$report" | sed -E 's/<testcase name="([^"]+)".*/\1/; s/ +# .*//')
    cp "$report" "$logs/run-$run-$build.xml"
  done
  if [ "$status" -ne 0 ] && [ ${#failures[@]} -eq 0 ]; then
    failures=("the run itself (exit $status; see $logs/run-$run.log)")
  fi
  for name in "${failures[@]}"; do failed_runs[$name]=$((${failed_runs[$name]:-0} + 1)); done
  echo "run $run of $runs: $(grep -E '^win(32|64): [0-9]+ passed' "$logs/run-$run.log" | tr '\n' ' ')($(($(date +%s) - start)) s)"
done

total=0
for name in "${!failed_runs[@]}"; do
  echo "$name: ${failed_runs[$name]} of $runs runs failed"
  total=$((total + failed_runs[$name]))
done
skipped=$(grep -h -m1 '^win32: run-time tests skipped' "$logs"/run-*.log 2>/dev/null | head -n 1)
[ -n "$skipped" ] && echo "$skipped"
echo "stress: $runs runs, $total failures"
[ "$total" -eq 0 ]
