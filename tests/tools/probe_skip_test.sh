#!/usr/bin/env bash
# The i686 runs may be skipped only where the kernel refuses 32-bit programs
# ("Exec format error"): any other failure of the 32-bit check must fail, not skip.
set -uo pipefail
. "$(dirname "$0")/check.sh"
expect() {  # what want-status command...
  local what=$1 want=$2 got said
  shift 2
  said=$("$@" 2>&1)
  got=$?
  [ "$got" = "$want" ]
  check "$what" $? "exit $got, want $want ($said)"
}
# An ELF header the kernel cannot load on any machine: the same refusal a kernel
# without its 32-bit mode gives an i386 program.
printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\xff\xff' >"$work/foreign"
printf '#!/bin/sh\nexit 0\n' >"$work/wrong-answer"
expect "a refused program is the machine's lack of a 32-bit mode" 2 "$top/tools/runs-i386.sh" "$work/foreign"
expect "a program that answers wrongly is a fault" 1 "$top/tools/runs-i386.sh" "$work/wrong-answer"
expect "no room to write the program is a fault" 1 env TMPDIR="$work/missing" "$top/tools/runs-i386.sh"
expect "the probe fails, not skips, on such a fault" 1 env TMPDIR="$work/missing" WINE32=/nonexistent "$top/tools/probe-win32.sh"
if mkdir "$work/noexec" && mount -t tmpfs -o noexec tmpfs "$work/noexec" 2>/dev/null; then
  expect "the probe fails, not skips, with a noexec TMPDIR" 1 env TMPDIR="$work/noexec" WINE32=/nonexistent "$top/tools/probe-win32.sh"
  umount "$work/noexec"
fi
exit "$failed"
