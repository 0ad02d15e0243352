#!/usr/bin/env bash
# Fetches Debian's own source of the libopenmpt the native module links, for
# the web build to compile with Emscripten (the page mixes the song with the
# same library). It lands, unpacked with Debian's patches, in
# .deb-sources/libopenmpt/ of the source tree (ignored by git), with the
# version in .deb-sources/libopenmpt/.debian-version. Fetched once: run again,
# it does nothing while that version is the installed library's.
#
# apt-get source needs a deb-src entry. Where the machine has none for
# Debian's archive, one is added (sources.list.d/sorvanel-debian-src.sources)
# with the URIs, Suites, Components and Signed-By of the machine's own deb
# entries for Debian's archive, and that is said on stdout.
#   scripts/fetch_libopenmpt_source.sh        (run by scripts/setup.sh --web)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
dest=$root/.deb-sources/libopenmpt
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi

version=$(dpkg-query -W -f='${source:Version}' libopenmpt0 2>/dev/null || true)
if [ -z "$version" ]; then
    echo "fetch_libopenmpt_source.sh: libopenmpt0 is not installed (scripts/setup.sh installs it)" >&2
    exit 1
fi
if [ -f "$dest/.debian-version" ] && [ "$(cat "$dest/.debian-version")" = "$version" ] &&
    [ -f "$dest/libopenmpt/libopenmpt_c.cpp" ]; then
    exit 0
fi

# The deb822 stanzas of Debian's own archive, as deb-src: every stanza of
# type deb whose URIs name a Debian archive (deb.debian.org, a mirror's
# /debian, snapshot.debian.org), with its other fields as they are.
debian_src_stanzas() {
    local file
    for file in /etc/apt/sources.list.d/*.sources; do
        [ -f "$file" ] || continue
        awk 'BEGIN { RS = ""; ORS = "\n\n" }
             /(^|\n)Types:[^\n]*(^|[ \t])deb([ \t]|\n|$)/ && /(^|\n)URIs:[^\n]*\/debian(-security)?\/?([ \t]|\n|$)/ {
                 out = ""
                 n = split($0, lines, "\n")
                 for (i = 1; i <= n; ++i) {
                     if (lines[i] ~ /^#/) continue
                     if (lines[i] ~ /^Types:/) lines[i] = "Types: deb-src"
                     out = out lines[i] "\n"
                 }
                 printf "%s\n", out
             }' "$file"
    done
}

# The one-line entries of Debian's archive, as deb-src.
debian_src_lines() {
    local file
    for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
        [ -f "$file" ] || continue
        grep -hE '^[[:space:]]*deb[[:space:]]' "$file" |
            grep -E '://[^[:space:]]*/debian(-security)?/?([[:space:]]|$)' |
            sed -E 's/^[[:space:]]*deb/deb-src/' || true
    done | sort -u
}

has_source_index() {
    apt-cache showsrc libopenmpt 2>/dev/null | grep -q "^Version: ${version}$"
}

if ! has_source_index; then
    # An entry for Debian's sources already there (this script's or the
    # machine's own) only needs the package lists updated.
    if ! grep -rqsE '^[[:space:]]*(Types:.*deb-src|deb-src[[:space:]].*/debian)' \
        /etc/apt/sources.list /etc/apt/sources.list.d/; then
        stanzas=$(debian_src_stanzas)
        lines=$(debian_src_lines)
        if [ -n "$stanzas" ]; then
            echo "Adding a deb-src entry for Debian's archive (as the deb entries name it):" \
                "/etc/apt/sources.list.d/sorvanel-debian-src.sources"
            printf '%s\n' "$stanzas" | $sudo tee /etc/apt/sources.list.d/sorvanel-debian-src.sources >/dev/null
        elif [ -n "$lines" ]; then
            echo "Adding a deb-src entry for Debian's archive (as the deb entries name it):" \
                "/etc/apt/sources.list.d/sorvanel-debian-src.list"
            printf '%s\n' "$lines" | $sudo tee /etc/apt/sources.list.d/sorvanel-debian-src.list >/dev/null
        else
            echo "fetch_libopenmpt_source.sh: no deb entry for Debian's archive to copy into a" \
                "deb-src entry; add one for libopenmpt $version by hand" >&2
            exit 1
        fi
    fi
    echo "Updating the package lists for Debian's sources"
    $sudo apt-get update -qq
    if ! has_source_index; then
        echo "fetch_libopenmpt_source.sh: Debian's archive offers no source of libopenmpt $version" >&2
        exit 1
    fi
fi

echo "Fetching Debian's source of libopenmpt $version into $dest"
mkdir -p "$root/.deb-sources"
work=$(mktemp -d "$root/.deb-sources/.fetch.XXXXXX")
trap 'rm -rf "$work"' EXIT
chmod 755 "$work"  # apt downloads as its own user where it can
# apt checks the files against the archive's signed index; dpkg-source then
# unpacks them with Debian's patches applied.
(cd "$work" && apt-get source -qq --download-only "libopenmpt=$version" >/dev/null)
dsc=$(ls "$work"/libopenmpt_*.dsc)
(cd "$work" && dpkg-source --no-check -x "$dsc" tree >/dev/null)
echo "$version" > "$work/tree/.debian-version"
rm -rf "$dest"
mv "$work/tree" "$dest"
