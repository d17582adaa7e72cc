#!/usr/bin/env bash
# Wine's 32-bit loader from the project's private i386 root (tools/make-wine32-root.sh),
# run as if it were installed here: in the caller's folder, with the caller's
# environment, display and Wine prefix (a 32-bit one: this Wine has no 64-bit half).
# bubblewrap gives it the root's folders read-only, on a / of its own (a tmpfs in a
# mount namespace of its own), so nothing is ever made inside the root and no mount
# is left on the machine; the checkout, /tmp (the X sockets, wineserver's sockets),
# the prefix and /dev are the machine's own.
#   tools/wine32.sh PROGRAM [ARGS...]       as /usr/lib/wine/wine
#   tools/wine32.sh --server [ARGS...]      as wineserver (-f -p, -k, -w)
#   tools/wine32.sh --ready                 exits 0 if the root is whole and of today's recipe
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
root=${GLIMBER_WINE32_ROOT:-/var/cache/glimber/wine32-root}
if [ "$(cat "$root/.glimber-root" 2>/dev/null)" != "$("$top/tools/make-wine32-root.sh" --recipe)" ] ||
  [ ! -x "$root/usr/lib/wine/wine" ]; then
  [ "${1:-}" = --ready ] && exit 1
  echo "wine32: the private 32-bit Wine ($root) has not been made for this release (tools/make-wine32-root.sh)" >&2
  exit 127
fi
program=/usr/lib/wine/wine
case ${1:-} in
  --ready) exit 0 ;;
  --server) program=/usr/lib/wine/wineserver32; shift ;;
esac

# The machine's folders this Wine writes in: the checkout, the caller's folder, the prefix.
own=("$top")
for dir in "$PWD" "${WINEPREFIX:-}"; do
  case $dir in "" | "$top" | "$top"/*) ;; *) [ -d "$dir" ] && own+=("$dir") ;; esac
done
# The root's top folders, but /dev, /proc, /tmp and any that holds one of those
# folders (its mount point is made on the tmpfs instead).
binds=()
for entry in "$root"/*; do
  name=${entry##*/}
  case $name in dev | proc | tmp) continue ;; esac
  for dir in "${own[@]}"; do [ "${dir#/"$name"/}" != "$dir" ] && continue 2; done
  if [ -L "$entry" ]; then
    binds+=(--symlink "$(readlink "$entry")" "/$name")
  elif [ -d "$entry" ]; then
    binds+=(--ro-bind "$entry" "/$name")
  fi
done
for dir in "${own[@]}"; do binds+=(--bind "$dir" "$dir"); done
# What names the machine's 64-bit Wine would send this one to the wrong server or loader.
exec env -u WINEARCH -u WINESERVER -u WINELOADER -u WINE -u WINE32 \
  bwrap --tmpfs / "${binds[@]}" --dev-bind /dev /dev --proc /proc --bind /tmp /tmp \
  --die-with-parent --chdir "$PWD" "$program" "$@"
