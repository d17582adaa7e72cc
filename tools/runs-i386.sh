#!/usr/bin/env bash
# Whether this machine executes 32-bit x86 programs: runs the smallest static
# i386 Linux program there is (it exits with 42) and exits 0 if it did. Exits 2,
# saying why, where the kernel refuses it as "Exec format error" (ENOEXEC), which
# is a machine without a 32-bit mode; 1, saying why, for anything else (a program
# that could not be written or run, a wrong answer). A real run, not a guess from
# the kernel's name: some kernels are built or booted without their 32-bit mode.
#   tools/runs-i386.sh [PROGRAM]     (another program to run in its place, for tests)
set -uo pipefail
program=$(mktemp) || { echo "cannot write the 32-bit test program (mktemp failed)"; exit 1; }
trap 'rm -f "$program"' EXIT
# ELF header (52 bytes), one loadable segment (32 bytes), then
# mov eax, 1; mov ebx, 42; int 0x80 — the exit system call.
printf '%b' \
  '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00' \
  '\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00' \
  '\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00' \
  '\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08' \
  '\x00\x80\x04\x08\x60\x00\x00\x00\x60\x00\x00\x00\x05\x00\x00\x00' \
  '\x00\x10\x00\x00\xb8\x01\x00\x00\x00\xbb\x2a\x00\x00\x00\xcd\x80' >"$program"
[ -n "${1:-}" ] && cat "$1" >"$program"
chmod +x "$program"
said=$("$program" 2>&1)
status=$?
[ "$status" -eq 42 ] && exit 0
case $said in
  *"Exec format error"*)
    echo "this machine cannot execute 32-bit programs (a 32-bit Linux program gave \"Exec format error\")"
    exit 2 ;;
esac
echo "a 32-bit Linux program did not run as it should (exit $status${said:+: $(head -c 200 <<<"$said")})"
exit 1
