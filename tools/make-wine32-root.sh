#!/usr/bin/env bash
# Makes the project's own 32-bit Wine: a private i386 Debian root holding Debian's
# wine32, for machines that execute 32-bit programs but cannot install wine32:i386
# beside the 64-bit Wine (an i386 package list a mirror serves out of step with
# its amd64 twin). Only the main suite of the release apt already uses is taken,
# so the versions inside always agree, and debootstrap verifies it with Debian's
# archive keyring. Run as root by tools/setup.sh; does nothing when the root is
# already whole.   tools/make-wine32-root.sh      (GLIMBER_WINE32_ROOT names the root)
set -euo pipefail
root=${GLIMBER_WINE32_ROOT:-/var/cache/glimber/wine32-root}
# Written last, once the loader inside has been seen; a root without it (an
# interrupted run, an older recipe) is made again from nothing.
recipe="bookworm i386 minbase main; wine32 without recommends"
stamp="$root/.glimber-root"
[ "$(cat "$stamp" 2>/dev/null)" = "$recipe" ] && exit 0

fail() { echo "make-wine32-root: $*" >&2; exit 1; }
[ "$(id -u)" -eq 0 ] || fail "making $root needs root"
command -v debootstrap >/dev/null || fail "debootstrap is not installed"
keyring=/usr/share/keyrings/debian-archive-keyring.gpg
[ -f "$keyring" ] || fail "$keyring is missing (package debian-archive-keyring)"
# The mirror of Debian's main suite that apt is already set up with.
mirror=$(grep -hoE '^(URIs:|deb) +(\[[^]]*\] +)?https?://[^ ]+' /etc/apt/sources.list /etc/apt/sources.list.d/*.list \
  /etc/apt/sources.list.d/*.sources 2>/dev/null | grep -oE 'https?://[^ ]+' | grep -vE 'security' | grep -E '/debian/?$' | head -n 1)
mirror=${mirror:-http://deb.debian.org/debian}

echo "make-wine32-root: making $root from $mirror (a few minutes, about 1 GiB)"
rm -rf "$root" "$root.new"
mkdir -p "$(dirname "$root")"
log=$(dirname "$root")/wine32-root.log
if ! debootstrap --arch=i386 --variant=minbase --components=main --keyring="$keyring" \
  bookworm "$root.new" "$mirror" >"$log" 2>&1; then
  fail "debootstrap failed: $(grep -m1 -E '^(E|W): ' "$log" || tail -n 1 "$log") (log: $log)"
fi
inside() { chroot "$root.new" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin DEBIAN_FRONTEND=noninteractive "$@"; }
if ! { inside apt-get update -qq && inside apt-get install -y -qq --no-install-recommends wine32; } >>"$log" 2>&1; then
  fail "installing wine32 in the root failed: $(grep -m1 '^E: ' "$log" || tail -n 1 "$log") (log: $log)"
fi
inside apt-get clean >/dev/null 2>&1 || true
[ -x "$root.new/usr/lib/wine/wine" ] && [ -x "$root.new/usr/lib/wine/wineserver32" ] ||
  fail "the root holds no 32-bit Wine loader and server"
mv "$root.new" "$root"
echo "$recipe" >"$stamp"
echo "make-wine32-root: $root holds Debian's 32-bit Wine ($(du -sh "$root" | cut -f1))"
