#!/usr/bin/env bash
# Runs the benchmark of both builds, each with its own DLL and loader, one after
# the other, and ends with one line over both:
#   worst ratio R (win32 R32, win64 R64), memory growth K KiB; N cases OVER, M cannot be judged
# and exits non-zero when any case is over 1.05 or cannot be judged.
# Where the machine cannot execute 32-bit code, says so and benches the x86_64
# build alone; where the i686 build cannot run for any other reason, fails.
#   tools/bench.sh      (inside tools/run-wine.sh; tables and CSVs in build/bench/)
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
mkdir -p build/bench
builds=(win32 win64)
status=0
why=$(tools/probe-win32.sh)
case $? in
  0) ;;
  2) echo "win32: not benched: $why"; builds=(win64) ;;
  *) echo "win32: cannot run: $why"; builds=(win64); status=1 ;;
esac
ratios=() worst= growth=0 over=0 unjudged=0
for build in "${builds[@]}"; do
  log="build/bench/$build.txt"
  errors="build/bench/$build.stderr"
  (cd "build/$build" && "$top/tools/wine-launch.sh" "$build" glimber_bench.exe "Z:$top/build/bench/$build.csv") </dev/null 2>"$errors" | tee "$log"
  if [ "${PIPESTATUS[0]}" -ne 0 ]; then
    echo "$build: the benchmark failed; what its loader said last:"
    tail -n 5 "$errors"
    status=1
  fi
  # Each case's verdict against 1.05: "within", "OVER" or "cannot judge".
  over=$((over + $(grep -cE '^[0-9]+x[0-9]+@[0-9]+ .* OVER( |$)' "$log")))
  unjudged=$((unjudged + $(grep -cE '^[0-9]+x[0-9]+@[0-9]+ .* cannot judge( |$)' "$log")))
  last=$(grep -E "^$build: worst ratio" "$log" | tail -n 1)
  [ -n "$last" ] || { echo "$build: the benchmark printed no result"; status=1; continue; }
  ratio=$(sed -E 's/.*worst ratio ([0-9.]+).*/\1/' <<<"$last")
  kib=$(sed -E 's/.*memory growth (-?[0-9]+) KiB.*/\1/' <<<"$last")
  ratios+=("$build $ratio")
  worst=$(awk -v a="${worst:-0}" -v b="$ratio" 'BEGIN {print (b > a ? b : a)}')
  growth=$(awk -v a="$growth" -v b="$kib" 'BEGIN {print (b > a ? b : a)}')
done
[ ${#ratios[@]} -gt 0 ] || exit 1
[ $((over + unjudged)) -eq 0 ] || status=1
echo "worst ratio $worst ($(IFS=,; sed 's/,/, /g' <<<"${ratios[*]}")), memory growth $growth KiB;" \
  "$over cases OVER, $unjudged cannot be judged"
exit "$status"
