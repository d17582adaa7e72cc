#!/usr/bin/env bash
# Runs the Win32 suite of both builds under Wine, side by side, the cases spread
# over the pool of displays tools/run-wine.sh started, and ends with the tally and
# the fuzzer's volume of each build:
#   win32: N passed, M failed
#   win32 fuzz: N messages over seeds A to B
#   win32 reactions: N over seeds A to B, F faults
#   win64: ...
#   win32 scaled: 3 scales, N points, M failed      (tools/test-scaled.sh)
# Where this machine cannot execute 32-bit code, the i686 run is skipped with a
# line saying why (GLIMBER_REQUIRE_WIN32=1 makes that a failure); any other reason
# it cannot run fails the run with its cause.
#   tools/test-wine.sh [CTEST ARGS...]     (inside tools/run-wine.sh)
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
: "${GLIMBER_WINE_POOL:?run this inside tools/run-wine.sh}"

win32_why=$(tools/probe-win32.sh)
win32_probe=$?

builds=(win32 win64)
[ "$win32_probe" -ne 0 ] && builds=(win64)

# The builds run side by side, each on its own share of the pool: the longest
# soak of one overlaps the other's, which halves the wall time on two cores.
share=$((GLIMBER_DISPLAYS / ${#builds[@]}))
[ "$share" -ge 1 ] || share=1
run_build() {  # build first-display
  local build=$1 first=$2 displays_file="$GLIMBER_WINE_POOL/$1.json" i sep
  {
    echo '{"version": {"major": 1, "minor": 0}, "local": [{"display": ['
    for ((i = first; i < first + share; i++)); do
      sep=,
      [ "$i" -eq $((first + share - 1)) ] && sep=
      echo "  {\"id\": \"$((i % GLIMBER_DISPLAYS))\", \"slots\": 1}$sep"
    done
    echo ']}]}'
  } >"$displays_file"
  echo "Win32 tests of build/$build/Glimber.dll on $share displays"
  # A passing case's whole output is kept (ctest cuts it at 1 KiB), for the summary below.
  ctest --test-dir "build/$build" --output-on-failure -j "$share" --resource-spec-file "$displays_file" \
    --test-output-size-passed 65536 \
    --output-junit "$top/build/$build/win-tests.xml" "${ctest_args[@]}" 2>&1
}
ctest_args=("$@")
pids=()
for index in "${!builds[@]}"; do
  build=${builds[$index]}
  rm -f "build/$build/win-tests.xml"
  run_build "$build" $((index * share)) >"build/$build/win-tests.log" &
  pids+=($!)
done
declare -A summary
status=0
for index in "${!builds[@]}"; do
  build=${builds[$index]}
  wait "${pids[$index]}" || status=1
  log="build/$build/win-tests.log"
  cat "$log"
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
  # What the fuzz ranges printed, passing or not (ctest keeps every case's output in
  # its JUnit report): "fuzz: N messages over seeds A to B", summed over the ranges.
  fuzz=$(grep -oE 'fuzz: [0-9]+ messages over seeds [0-9]+ to [0-9]+' "build/$build/win-tests.xml" 2>/dev/null |
    awk '{n += $2; if (a == "" || $6 < a) a = $6; if ($8 > b) b = $8}
         END {if (n) printf "fuzz: %d messages over seeds %d to %d", n, a, b}')
  [ -n "$fuzz" ] && summary[$build]+=$'\n'"$build $fuzz"
  # The host reaction fuzzer's ranges: "reactions: N over seeds A to B, F faults".
  reactions=$(grep -oE 'reactions: [0-9]+ over seeds [0-9]+ to [0-9]+, [0-9]+ faults' "build/$build/win-tests.xml" 2>/dev/null |
    awk '{n += $2; f += $8; if (a == "" || $5 < a) a = $5; if ($7 + 0 > b) b = $7 + 0}
         END {if (n) printf "reactions: %d over seeds %d to %d, %d faults", n, a, b, f}')
  [ -n "$reactions" ] && summary[$build]+=$'\n'"$build $reactions"
  # What the example host's check printed: its steps, the real keyboard's among them.
  example=$(awk '/(^|>)ok   / {steps++} /(^|>)ok   keyboard:/ {keys++} /(^|>)FAIL / {steps++; bad++}
                 /minimal host: [0-9]+ failed/ {seen = 1}
                 END {if (seen) printf "example: %d steps (%d of them keys pressed), %d failed", steps, keys, bad}' \
    "build/$build/win-tests.xml" 2>/dev/null)
  [ -n "$example" ] && summary[$build]+=$'\n'"$build $example"
done

# The DPI-unaware host on scaled displays, on prefixes of its own, once the pool is free.
scaled=$(tools/test-scaled.sh "${builds[@]}") || status=1

if [ "$win32_probe" -eq 2 ]; then
  echo "win32: run-time tests skipped: $win32_why; build/win32/Glimber.dll had its static checks only"
  [ "${GLIMBER_REQUIRE_WIN32:-0}" = 1 ] && { echo "GLIMBER_REQUIRE_WIN32=1: failing for the skipped i686 run"; status=1; }
elif [ "$win32_probe" -ne 0 ]; then
  echo "win32: cannot run: $win32_why"
  status=1
fi
for build in "${builds[@]}"; do echo "${summary[$build]}"; done
echo "$scaled"
exit "$status"
