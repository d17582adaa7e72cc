#!/usr/bin/env bash
# What a host author is given, checked as a host author uses it:
# - the public header on its own, as C and as C++, with MinGW-w64 and in the MSVC
#   dialect (clang), and beside MinGW-w64's <windows.h> (before and after it, with
#   STRICT handles and with NO_STRICT's void* ones), for i686 and x86_64, with every
#   warning an error; beside <windows.h> the handles and the rectangle must pass to
#   the entry points without a cast;
# - the reference host and the example include nothing of the module but the header;
# - every code block of the host guide stands, to the letter, in the example host,
#   which the Win32 suite builds and runs against each DLL.
#   tools/check-host-kit.sh
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf '#include "protocol.h"\nint glimber_header_check;\n' >"$work/alone.c"
cat >"$work/with_windows.c" <<'C'
#ifdef PROTOCOL_FIRST
#include "protocol.h"
#endif
#include <windows.h>
#ifndef PROTOCOL_FIRST
#include "protocol.h"
#endif
HWND CreateOne(HMODULE module, HWND parent, const RECT* rect, HINSTANCE host)
{
    char init[20], create[20], cleanup[20];
    EnumeratePanelTypesProc enumerate = (EnumeratePanelTypesProc)(void (*)(void))GetProcAddress(module, "EnumeratePanelTypes");
    ToolCreateProc make = (ToolCreateProc)(void (*)(void))GetProcAddress(module, "GlimberToolCreate");
    ToolTypeInfo* info = 0;
    HBITMAP image;
    if (!enumerate || !make || enumerate(init, create, cleanup, host, 0) != 1)
        return 0;
    image = info ? info->colorImage : 0;
    (void)image;
    return make(parent, rect, 0, 0, 0);
}
C
flags=(-fsyntax-only -Wall -Wextra -Werror -I "$top/plugin")
checked=0
check() {  # what compiler args...
  local what=$1
  shift
  "$@" "${flags[@]}" || { echo "header: $what fails"; exit 1; }
  checked=$((checked + 1))
}
for arch in i686 x86_64; do
  for language in c c++; do
    gcc=$arch-w64-mingw32-gcc-posix
    check "MinGW $arch $language" "$gcc" -x "$language" "$work/alone.c"
    check "MinGW $arch $language after windows.h" "$gcc" -x "$language" "$work/with_windows.c"
    check "MinGW $arch $language before windows.h" "$gcc" -DPROTOCOL_FIRST -x "$language" "$work/with_windows.c"
    check "MinGW $arch $language after windows.h, NO_STRICT" "$gcc" -DNO_STRICT -x "$language" "$work/with_windows.c"
    check "MinGW $arch $language before windows.h, NO_STRICT" "$gcc" -DNO_STRICT -DPROTOCOL_FIRST -x "$language" \
      "$work/with_windows.c"
    check "MSVC $arch $language" clang --target="$arch-pc-windows-msvc" -x "$language" "$work/alone.c"
  done
done
# The reference host and the example are clients of the header alone, as any host is.
inner=$(cd "$top" && grep -nE '#include +"\.\./' host/*.cpp host/*.h examples/*.cpp | grep -v '"\.\./plugin/protocol\.h"' || true)
[ -z "$inner" ] || { echo "header: host/ or examples/ includes the module's own sources:"; echo "$inner"; exit 1; }
echo "header: plugin/protocol.h compiles in all $checked ways: C and C++, i686 and x86_64, each alone with" \
  "MinGW-w64 and in the MSVC dialect, and with MinGW-w64 before and after <windows.h>, STRICT and NO_STRICT"

guide=docs/host-guide.md example=examples/minimal_host.cpp
quoted=$(cd "$top" && awk -v example="$example" '
  BEGIN { while ((getline line < example) > 0) text = text line "\n" }
  /^```cpp$/ { block = ""; inside = 1; start = FNR; next }
  inside && /^```$/ { inside = 0; blocks++; if (index(text, block) == 0) { print "line " start; bad++ } ; next }
  inside { block = block $0 "\n" }
  END { if (bad) exit 1; print blocks }' "$guide") || {
  echo "guide: these code blocks of $guide are not quoted from $example:"; echo "$quoted"; exit 1; }
[ "$quoted" -gt 0 ] || { echo "guide: $guide has no code block"; exit 1; }
echo "guide: all $quoted code blocks of $guide stand in $example"
