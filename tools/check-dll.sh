#!/usr/bin/env bash
# Static checks of a built Glimber.dll: format, exports, imports.
#   tools/check-dll.sh BUILD_DIR i686|x86_64
set -euo pipefail
build=$1
arch=$2
dll="$build/Glimber.dll"
nm="$arch-w64-mingw32-nm"
failures=0
checks=0

check() {  # check NAME CONDITION-RESULT DETAIL
  checks=$((checks + 1))
  if [ "$2" = ok ]; then echo "  ok    $1"; else echo "  FAIL  $1: $3"; failures=$((failures + 1)); fi
}

echo "Static checks of $dll"
[ -f "$dll" ] || { echo "  FAIL  $dll is missing"; echo "0 passed, 1 failed"; exit 1; }

# The image's own tables, read by a PE parser (tools/pe-info.py).
info=$("$(dirname "$0")/pe-info.py" "$dll")
fact() { sed -n "s/^$1 //p" <<<"$info"; }
case $arch in
  i686) want_machine=i386 ;;
  x86_64) want_machine=amd64 ;;
esac
[ "$(fact machine)" = "$want_machine" ] && r=ok || r=no
check "an $want_machine image" $r "machine $(fact machine)"
[ "$(fact dll)" = yes ] && r=ok || r=no
check "marked as a DLL" $r "no DLL characteristic"

exports=$(fact export | sort | tr '\n' ' ')
want_exports="EnumeratePanelTypes GlimberToolCleanup GlimberToolCreate InitGlimberToolType "
[ "$exports" = "$want_exports" ] && r=ok || r=no
check "exports exactly the four entry points, undecorated" $r "got: $exports"

imports=$(fact import | tr '[:lower:]' '[:upper:]' | sort | tr '\n' ' ')
allowed=" KERNEL32.DLL USER32.DLL GDI32.DLL MSVCRT.DLL "
bad=
for d in $imports; do case $allowed in *" $d "*) ;; *) bad="$bad $d" ;; esac; done
[ -z "$bad" ] && r=ok || r=no
check "imports only system DLLs ($imports)" $r "not system:$bad"

if [ "$arch" = i686 ]; then
  # The stdcall argument sizes hosts call with: 20, 8, 20 and 4 bytes.
  symbols=$("$nm" "$build/CMakeFiles/Glimber.dir/plugin/entry_points.cpp.obj")
  for want in _EnumeratePanelTypes@20 _InitGlimberToolType@8 _GlimberToolCreate@20 _GlimberToolCleanup@4; do
    grep -q " T $want\$" <<<"$symbols" && r=ok || r=no
    check "stdcall $want" $r "not defined"
  done
fi

# The About box's hidden caption is stored scrambled only.
grep -aq 'Every pixel, bigger!' "$dll" && r=no || r=ok
check "hidden caption not stored in plain text" $r "plain text found in the binary"

echo "$((checks - failures)) passed, $failures failed"
[ "$failures" -eq 0 ]
