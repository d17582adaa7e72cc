#!/usr/bin/env bash
# Whether this machine runs i686 Windows programs: exits 0 if it does, else prints
# why not and exits 1. A real 32-bit program, not a guess from the kernel's name:
# the probe is an i686 Windows program run by Wine's 32-bit loader, itself a
# 32-bit Linux program.   tools/probe-win32.sh   (inside tools/run-wine.sh)
set -uo pipefail
cd "$(dirname "$0")/.."
if [ ! -x "$WINE32" ]; then
  echo "Wine's 32-bit loader ($WINE32) is not installed"
  exit 1
fi
if ! probe=$("$WINE32" build/win32/platform_probe.exe 2>&1 </dev/null); then
  case $probe in
    *"Exec format error"* | *"cannot execute binary file"*) echo "this kernel cannot execute 32-bit programs" ;;
    *) echo "the 32-bit probe program did not run: $(head -c 200 <<<"$probe")" ;;
  esac
  exit 1
fi
if ! grep -q 'runs 32-bit' <<<"$probe"; then
  echo "the 32-bit probe program answered \"$(head -c 200 <<<"$probe")\""
  exit 1
fi
