#!/usr/bin/env bash
# Whether this machine runs i686 Windows programs. Exits 0 if it does. Exits 2,
# saying why, only where the machine cannot execute 32-bit code at all: the one
# reason to skip the i686 runs. Exits 1, saying why, for anything else (no 32-bit
# Wine, a loader that fails): a fault of the set-up that must not pass as a skip.
# The proof is real programs: a 32-bit Linux one, then an i686 Windows one under
# the 32-bit loader.   tools/probe-win32.sh   (inside tools/run-wine.sh)
set -uo pipefail
cd "$(dirname "$0")/.."
why=$(tools/runs-i386.sh)
case $? in
  0) ;;
  2) echo "$why"; exit 2 ;;
  *) echo "$why"; exit 1 ;;
esac
if [ ! -x "$WINE32" ]; then
  why=$(tail -n 1 /var/cache/glimber/wine32-root.log 2>/dev/null)
  echo "no 32-bit Wine: neither Debian's wine32:i386 nor the private root of tools/make-wine32-root.sh is installed${why:+ (its log ends: $why)}"
  exit 1
fi
if ! probe=$(tools/wine-launch.sh win32 build/win32/platform_probe.exe 2>&1 </dev/null); then
  echo "the 32-bit probe program did not run under $WINE32: $(head -c 200 <<<"$probe")"
  exit 1
fi
if ! grep -q 'runs 32-bit' <<<"$probe"; then
  echo "the 32-bit probe program answered \"$(head -c 200 <<<"$probe")\""
  exit 1
fi
