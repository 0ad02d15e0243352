#!/usr/bin/env bash
# Builds the Debian package, installs it with apt, shoots the title from a
# home folder that holds nothing of the show, and removes it again, leaving
# none of its files. It changes the system, so it runs only where that is
# wanted: with SORVANEL_PACKAGE_TEST=1 (CI's fresh machine) and as root.
#   check_deb.sh BUILD_DIR SCRATCH
set -euo pipefail
build=$1 scratch=$2
fail() { echo "FAIL: $*" >&2; exit 1; }
if [ "${SORVANEL_PACKAGE_TEST:-0}" != 1 ] || [ "$(id -u)" -ne 0 ]; then
    echo "skipped: set SORVANEL_PACKAGE_TEST=1 and run as root to install the package"
    exit 77
fi
if dpkg-query -W -f='${Status}' sorvanel 2>/dev/null | grep -q "install ok installed"; then
    fail "a sorvanel package is already installed here"
fi

rm -rf "$scratch"
mkdir -p "$scratch/home"
(cd "$scratch" && cpack -G DEB --config "$build/CPackConfig.cmake" >cpack.log) ||
    { cat "$scratch/cpack.log"; fail "cpack failed"; }
deb=$(ls "$scratch"/sorvanel_*.deb)
depends=$(dpkg-deb -f "$deb" Depends)
for lib in libsdl2 libopenmpt libfltk libjpeg62-turbo libc6; do
    [[ $depends == *"$lib"* ]] || fail "Depends lacks $lib: $depends"
done

export DEBIAN_FRONTEND=noninteractive
apt-get install -y -qq "$deb" >"$scratch/apt.log" 2>&1 ||
    { cat "$scratch/apt.log"; fail "apt could not install $deb"; }
files=$(dpkg-query -L sorvanel)
remove() { apt-get remove -y -qq sorvanel >>"$scratch/apt.log" 2>&1; }
trap remove EXIT

(cd "$scratch/home" && env -u XDG_RUNTIME_DIR -u XDG_CACHE_HOME HOME="$scratch/home" \
    talvenor --shot 14.5 title.png --size 320x240) || fail "the installed talvenor did not shoot"
file "$scratch/home/title.png" | grep -q "PNG image data, 320 x 240" || fail "no title frame"
[ "$(man -w talvenor)" = /usr/share/man/man6/talvenor.6.gz ] ||
    [ "$(man -w talvenor)" = /usr/share/man/man6/talvenor.6 ] || fail "man finds no page: $(man -w talvenor)"

trap - EXIT
remove || { cat "$scratch/apt.log"; fail "apt could not remove the package"; }
# Every file of the package is gone; a folder stays only when it holds
# something else or another package owns it.
left=""
while IFS= read -r path; do
    if [ -L "$path" ] || [ -f "$path" ]; then
        left+=" $path"
    elif [ -d "$path" ] && [ -z "$(ls -A "$path")" ] && ! dpkg-query -S "$path" >/dev/null 2>&1; then
        left+=" $path/"
    fi
done <<<"$files"
[ -z "$left" ] || fail "left behind:$left"
rm -rf "$scratch"
echo "package installs, plays and removes cleanly"
