#!/usr/bin/env bash
# Runs the README's `make test` where a newcomer stands: in a fresh, minimal Debian
# root of the given release (minbase, plus git and make), on a clean clone of this
# checkout's HEAD, with nothing of this machine's installed software carried in.
#   tools/fresh-root.sh RELEASE [--no-wine32-package] [--shell]      (as root)
#     RELEASE               a Debian codename: bookworm (12), trixie (13)
#     --no-wine32-package   pin wine32:i386 away inside (Pin-Priority -1), as an
#                           out-of-step mirror does, so the private 32-bit Wine is made
#     --shell               an interactive shell in the prepared root instead
# The pristine root is made once per machine and release with debootstrap, from the
# mirror apt already uses, and kept as a tarball in /var/cache/glimber/fresh/;
# every run unpacks it anew into /var/tmp and removes it afterwards, failed or not.
# The packages apt downloads inside are kept beside the tarball (only the .deb
# files: nothing installed is carried from one run to the next). The root runs in
# mount and PID namespaces of its own, so every mount and every process it started
# is gone when it ends. Exits with `make test`'s status, or 3 where no such root can
# be made here (the mirror refuses), saying why in one line.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
release=${1:?usage: tools/fresh-root.sh RELEASE [--no-wine32-package] [--shell]}
shift
pin=no shell=no
for option in "$@"; do
  case $option in
    --no-wine32-package) pin=yes ;;
    --shell) shell=yes ;;
    *) echo "fresh-root: unknown option $option" >&2; exit 2 ;;
  esac
done
fail() { echo "fresh-root: $*" >&2; exit 1; }
cannot() { echo "fresh-root: cannot make a fresh $release root here: $*"; exit 3; }
[ "$(id -u)" -eq 0 ] || fail "needs root (debootstrap, chroot and mounts)"

cache=/var/cache/glimber/fresh
tarball="$cache/$release.tar"
debs="$cache/$release-debs"
mkdir -p "$cache" "$debs/partial"

# What the root is made with, on a machine that lacks it.
needed=()
for tool in debootstrap:debootstrap /usr/share/keyrings/debian-archive-keyring.gpg:debian-archive-keyring git:git; do
  [ -e "${tool%%:*}" ] || command -v "${tool%%:*}" >/dev/null || needed+=("${tool#*:}")
done
if [ ${#needed[@]} -gt 0 ]; then
  echo "fresh-root: installing ${needed[*]}"
  { apt-get update -qq || true; } >/dev/null 2>&1
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${needed[@]}" >/dev/null 2>&1 ||
    cannot "${needed[*]} could not be installed"
fi

mirror=$("$top/tools/apt-mirror.sh")
# The security archive as Debian's installer sets it up, from the same host.
security=${mirror%/debian*}/debian-security

make_pristine() {
  local made="$cache/$release.new" log="$cache/$release.log"
  rm -rf "$made"
  echo "fresh-root: making the pristine $release root from $mirror (once; a few minutes)"
  if ! debootstrap --variant=minbase --include=git,make --components=main \
    --keyring=/usr/share/keyrings/debian-archive-keyring.gpg "$release" "$made" "$mirror" >"$log" 2>&1; then
    rm -rf "$made"
    cannot "debootstrap failed: $(grep -m1 -E '^(E|W): ' "$log" || tail -n 1 "$log") (log: $log)"
  fi
  # A stock installation's one apt source file, in the deb822 form.
  rm -f "$made/etc/apt/sources.list"
  cat >"$made/etc/apt/sources.list.d/debian.sources" <<EOF
Types: deb
URIs: $mirror
Suites: $release $release-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg

Types: deb
URIs: $security
Suites: $release-security
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
EOF
  chroot "$made" apt-get clean
  tar -C "$made" -cf "$tarball.new" . && mv "$tarball.new" "$tarball"
  rm -rf "$made"
}
(
  flock 9
  [ -s "$tarball" ] || make_pristine
) 9>"$cache/$release.lock"
[ -s "$tarball" ] || exit 3

work=/var/tmp/glimber-fresh/$release.$$
cleanup() { rm -rf "$work"; }
trap cleanup EXIT
mkdir -p "$work"
tar -C "$work" -xf "$tarball"
cp /etc/resolv.conf "$work/etc/resolv.conf" 2>/dev/null || true
if [ "$pin" = yes ]; then
  printf 'Package: wine32:i386\nPin: release *\nPin-Priority: -1\n' >"$work/etc/apt/preferences.d/no-wine32"
fi
git clone --quiet --no-hardlinks "$top" "$work/build/glimber"
echo "fresh-root: Debian $release (minbase, git, make), a clean clone of $(git -C "$top" rev-parse --short HEAD)$(
  [ "$pin" = yes ] && echo ", wine32:i386 pinned away")"

# Only the README's command, in an environment with nothing of the caller's but
# the proxies a newcomer's machine would have too.
environment=(CI=true HOME=/root LANG=C.UTF-8 TERM=dumb PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin)
for name in http_proxy https_proxy no_proxy HTTP_PROXY HTTPS_PROXY NO_PROXY; do
  [ -n "${!name:-}" ] && environment+=("$name=${!name}")
done
command=(bash -c 'cd /build/glimber && make test') what="make test"
[ "$shell" = yes ] && command=(bash -c 'cd /build/glimber && exec bash -i') what="the shell"
start=$(date +%s)
status=0
# The root's / a mount point of its own, so bubblewrap works inside it.
unshare --mount --pid --fork --propagation private bash -c '
  set -e
  root=$1
  shift
  mount --bind "$root" "$root"
  mount -t proc proc "$root/proc"
  mount -t sysfs sysfs "$root/sys"
  mount --rbind /dev "$root/dev"
  mount -t tmpfs tmpfs "$root/tmp"
  mount --bind "$0" "$root/var/cache/apt/archives"
  exec chroot "$root" /usr/bin/env -i "$@"' "$debs" "$work" "${environment[@]}" "${command[@]}" || status=$?
echo "fresh-root: $release: $what exited with $status after $(($(date +%s) - start)) s"
exit "$status"
