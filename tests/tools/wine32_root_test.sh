#!/usr/bin/env bash
# The private 32-bit Wine's root, with a stand-in loader: tools/wine32.sh runs it
# with the root read-only and leaves nothing in it, --ready refuses a root of
# another recipe, and two makers at once make it once.
set -uo pipefail
. "$(dirname "$0")/check.sh"
export GLIMBER_WINE32_ROOT=$work/cache/wine32-root
root=$GLIMBER_WINE32_ROOT
recipe=$("$top/tools/make-wine32-root.sh" --recipe)

# The stand-in loader says where it is and whether it can write to the root.
mkdir -p "$root/usr/lib/wine" "$root/etc" "$root/root" "$root/var/lib"
ln -s usr/lib "$root/lib"
cat >"$work/loader.cpp" <<'C'
#include <cstdio>
#include <unistd.h>
int main(int argc, char** argv)
{
    char here[4096] = "";
    const bool cwd = getcwd(here, sizeof here) != nullptr;
    FILE* mark = std::fopen("/usr/lib/wine/written", "w");
    std::printf("in %s; argument %s; root %s\n", cwd ? here : "?", argc > 1 ? argv[1] : "-",
                mark ? "writable" : "read-only");
    return 0;
}
C
g++ -static -O1 -o "$root/usr/lib/wine/wine" "$work/loader.cpp" || { echo "FAIL  cannot build the stand-in loader"; exit 1; }
echo "$recipe" >"$root/.glimber-root"
"$top/tools/wine32.sh" --ready
check "--ready takes a root of today's recipe" $?
before=$(cd "$root" && find . | sort)
mkdir -p "$work/elsewhere/deep" "$work/prefix"
said=$(cd "$work/elsewhere/deep" && WINEPREFIX=$work/prefix "$top/tools/wine32.sh" hello 2>&1)
[ "$said" = "in $work/elsewhere/deep; argument hello; root read-only" ]
check "the loader runs in the caller's folder, the root read-only" $? "$said"
after=$(cd "$root" && find . | sort)
[ "$before" = "$after" ]
check "nothing is left in the root" $? "$(diff <(echo "$before") <(echo "$after") | tail -n 3)"
! grep -q "$work" /proc/self/mounts
check "no mount is left on the machine" $?

echo "wheezy i386 minbase main; wine32 without recommends" >"$root/.glimber-root"
! "$top/tools/wine32.sh" --ready
check "--ready refuses a root of another recipe" $?

# A maker that finds another at work waits for it, then takes the root it made.
echo "$recipe" >"$root/.glimber-root.pending"
exec 9>"$root.lock"
flock 9
"$top/tools/make-wine32-root.sh" >"$work/maker.log" 2>&1 &
maker=$!
sleep 1
# One that did not wait would have thrown the root away at once, or failed.
kill -0 "$maker" 2>/dev/null && [ -x "$root/usr/lib/wine/wine" ] && [ ! -e "$root.new" ]
check "a second maker waits for the lock" $? "$(cat "$work/maker.log")"
mv "$root/.glimber-root.pending" "$root/.glimber-root"
exec 9>&-
wait "$maker"
check "and then finds the root whole, making nothing" $? "$(cat "$work/maker.log")"
exit "$failed"
