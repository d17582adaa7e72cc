#!/usr/bin/env bash
# Makes the project's own 32-bit Wine: a private i386 Debian root holding Debian's
# wine32 and the X libraries it loads (tools/wine-x-libraries.sh), for machines that
# execute 32-bit programs but cannot install wine32:i386 beside the 64-bit Wine (an
# i386 package list a mirror serves out of step with its amd64 twin). Only the main suite of the release apt already uses is taken,
# so the versions inside always agree, and debootstrap verifies it with Debian's
# archive keyring. Run as root by tools/setup.sh; does nothing when the root is
# already whole (GLIMBER_WINE32_ROOT names the root; --recipe prints what its stamp must say).
#   tools/make-wine32-root.sh [--recipe]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
root=${GLIMBER_WINE32_ROOT:-/var/cache/glimber/wine32-root}
# The release the machine runs, so the root's Wine is the one its own 64-bit Wine is.
release=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
# Written last, once the loader inside has been seen; a root without it, or with
# another recipe (an interrupted run, an older recipe, another release), is made
# again from nothing. tools/wine32.sh --ready asks for it with --recipe.
. "$top/tools/wine-x-libraries.sh"
recipe="${release:-unknown} i386 minbase main; wine32 and ${wine_x_packages[*]} without recommends"
[ "${1:-}" = --recipe ] && { echo "$recipe"; exit 0; }
stamp="$root/.glimber-root"
[ "$(cat "$stamp" 2>/dev/null)" = "$recipe" ] && exit 0

fail() { echo "make-wine32-root: $*" >&2; exit 1; }
# One maker at a time: a second one waits, then finds the root whole.
mkdir -p "$(dirname "$root")"
exec 9>"$root.lock"
flock 9
[ "$(cat "$stamp" 2>/dev/null)" = "$recipe" ] && exit 0
[ -n "$release" ] || fail "/etc/os-release names no release (VERSION_CODENAME)"
[ "$(id -u)" -eq 0 ] || fail "making $root needs root"
command -v debootstrap >/dev/null || fail "debootstrap is not installed"
keyring=/usr/share/keyrings/debian-archive-keyring.gpg
[ -f "$keyring" ] || fail "$keyring is missing (package debian-archive-keyring)"
mirror=$("$top/tools/apt-mirror.sh")

echo "make-wine32-root: making $root from $mirror (a few minutes, about 1 GiB)"
rm -rf "$root" "$root.new"
mkdir -p "$(dirname "$root")"
log=$(dirname "$root")/wine32-root.log
if ! debootstrap --arch=i386 --variant=minbase --components=main --keyring="$keyring" \
  "$release" "$root.new" "$mirror" >"$log" 2>&1; then
  fail "debootstrap failed: $(grep -m1 -E '^(E|W): ' "$log" || tail -n 1 "$log") (log: $log)"
fi
# A clean environment inside, but for the proxies that took debootstrap to the mirror.
proxies=()
for name in http_proxy https_proxy ftp_proxy no_proxy HTTP_PROXY HTTPS_PROXY FTP_PROXY NO_PROXY; do
  [ -n "${!name:-}" ] && proxies+=("$name=${!name}")
done
inside() { chroot "$root.new" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin DEBIAN_FRONTEND=noninteractive "${proxies[@]}" "$@"; }
if ! { inside apt-get update -qq && inside apt-get install -y -qq --no-install-recommends wine32 "${wine_x_packages[@]}"; } >>"$log" 2>&1; then
  fail "installing wine32 in the root failed: $(grep -m1 '^E: ' "$log" || tail -n 1 "$log") (log: $log)"
fi
inside apt-get clean >/dev/null 2>&1 || true
[ -x "$root.new/usr/lib/wine/wine" ] && [ -x "$root.new/usr/lib/wine/wineserver32" ] ||
  fail "the root holds no 32-bit Wine loader and server"
echo "$recipe" >"$root.new/.glimber-root"
rm -rf "$root"
mv -T "$root.new" "$root"
echo "make-wine32-root: $root holds Debian's 32-bit Wine ($(du -sh "$root" | cut -f1))"
