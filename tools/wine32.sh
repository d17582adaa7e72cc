#!/usr/bin/env bash
# Wine's 32-bit loader from the project's private i386 root (tools/make-wine32-root.sh),
# run as if it were installed here: in the caller's folder, with the caller's
# environment, display and Wine prefix (a 32-bit one: this Wine has no 64-bit half).
# bubblewrap gives it the root as / in a mount namespace of its own, so no mount
# is left on the machine; the checkout, /tmp (the X sockets, wineserver's sockets)
# and /dev are the machine's own.
#   tools/wine32.sh PROGRAM [ARGS...]       as /usr/lib/wine/wine
#   tools/wine32.sh --server [ARGS...]      as wineserver (-f -p, -k, -w)
#   tools/wine32.sh --ready                 exits 0 if the root is whole
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
root=${GLIMBER_WINE32_ROOT:-/var/cache/glimber/wine32-root}
if [ ! -f "$root/.glimber-root" ] || [ ! -x "$root/usr/lib/wine/wine" ]; then
  [ "${1:-}" = --ready ] && exit 1
  echo "wine32: the private 32-bit Wine ($root) has not been made (tools/make-wine32-root.sh)" >&2
  exit 127
fi
program=/usr/lib/wine/wine
case ${1:-} in
  --ready) exit 0 ;;
  --server) program=/usr/lib/wine/wineserver32; shift ;;
esac

binds=(--bind "$top" "$top")
for dir in "$PWD" "${WINEPREFIX:-}"; do
  case $dir in "" | "$top" | "$top"/*) ;; *) [ -d "$dir" ] && binds+=(--bind "$dir" "$dir") ;; esac
done
# What names the machine's 64-bit Wine would send this one to the wrong server or loader.
exec env -u WINEARCH -u WINESERVER -u WINELOADER -u WINE -u WINE32 \
  bwrap --bind "$root" / --dev-bind /dev /dev --proc /proc --bind /tmp /tmp "${binds[@]}" \
  --die-with-parent --chdir "$PWD" "$program" "$@"
