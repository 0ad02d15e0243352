#!/usr/bin/env bash
# Installs the build into a scratch prefix and checks what a user of the
# installed copy relies on: the layout, the licence, the manual page, the icon sizes, a
# desktop entry and metainfo the desktop's validators accept, no test hooks
# in the programs, --version, and
# a show that renders from an unrelated folder, also after the whole prefix
# has been moved elsewhere.
#   check_install.sh BUILD_DIR SCRATCH LIBDIR MANDIR
set -euo pipefail
build=$1 scratch=$2 libdir=$3 mandir=$4
fail() { echo "FAIL: $*" >&2; exit 1; }

rm -rf "$scratch"
mkdir -p "$scratch/elsewhere" "$scratch/home"
prefix="$scratch/prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null || fail "install failed"

for f in bin/talvenor "$libdir/sorvanel/sorvanel.dmd" share/sorvanel/morrowen.q7v \
         share/sorvanel/Sorvanel.it "$mandir/man6/talvenor.6" \
         share/applications/sorvanel.desktop share/metainfo/org.sorvanel.Sorvanel.metainfo.xml \
         share/doc/sorvanel/copyright; do
    [ -f "$prefix/$f" ] || fail "not installed: $f"
done
[ ! -e "$prefix/share/sorvanel/sorvanel.dmd" ] || fail "the module is code and belongs under lib/"

for n in 16 22 24 32 36 48 64 72 96 128 192 256 512; do
    icon="$prefix/share/icons/hicolor/${n}x${n}/apps/talvenor.png"
    [ -f "$icon" ] || fail "no ${n}x${n} icon"
    file "$icon" | grep -q "PNG image data, $n x $n," || fail "$icon is not $n x $n: $(file "$icon")"
done

entry="$prefix/share/applications/sorvanel.desktop"
desktop-file-validate "$entry" || fail "desktop-file-validate rejects the entry"
grep -qx "Exec=$prefix/bin/talvenor" "$entry" || fail "the entry starts $(grep ^Exec= "$entry")"
appstreamcli validate --no-net "$prefix/share/metainfo/org.sorvanel.Sorvanel.metainfo.xml" >/dev/null ||
    fail "appstreamcli rejects the metainfo"

# The page renders without a warning and names the installed places.
page="$prefix/$mandir/man6/talvenor.6"
warnings=$(MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
[ -z "$warnings" ] || fail "the manual page has warnings: $warnings"
grep -q "$libdir/sorvanel/sorvanel.dmd" "$page" || fail "the manual page misses the module's place"

# The shipped programs carry no test hooks: the tests' own build of the
# launcher observes the host, and the tests hand the sound layer a listener.
for program in bin/talvenor "$libdir/sorvanel/sorvanel.dmd"; do
    hooks=$(strings "$prefix/$program" |
        grep -E 'SORVANEL_HOST_(TRACE|SNAPSHOT|SWAP_TIMES)|TraceObserver|soundTrace|readPng|TEST_DMD' || true)
    [ -z "$hooks" ] || fail "$program carries test hooks: $(echo $hooks)"
done

version=$("$prefix/bin/talvenor" --version)
[[ $version =~ ^talvenor\ \(Sorvanel\)\ [0-9]+\.[0-9]+ ]] || fail "--version printed '$version'"

# A terminal in some other folder: no module argument, no data in sight.
shoot() {
    (cd "$scratch/elsewhere" && env -u XDG_RUNTIME_DIR -u XDG_CACHE_HOME HOME="$scratch/home" \
        "$1/bin/talvenor" --shot 14.5 title.png --size 64x48) || fail "the show at $1 did not render"
    [ -s "$scratch/elsewhere/title.png" ] || fail "no shot from $1"
    rm "$scratch/elsewhere/title.png"
}
shoot "$prefix"
mv "$prefix" "$scratch/moved"
shoot "$scratch/moved"
rm -rf "$scratch"
echo "install checks passed"
