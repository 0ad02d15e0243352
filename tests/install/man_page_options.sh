#!/usr/bin/env bash
# The manual page and --help list the same options.
#   man_page_options.sh TALVENOR MANPAGE
set -euo pipefail
help_options=$("$1" --help | grep -oE '^  --[a-z-]+' | tr -d ' ' | sort -u)
# The tagged paragraphs of the OPTIONS section: the line after each .TP.
page_options=$(awk '/^\.SH/ { inside = ($2 == "OPTIONS") } inside && tagged { print } { tagged = /^\.TP/ }' "$2" |
    sed -E 's/\\-/-/g' | grep -oE '^\.B[IR]? +--[a-z-]+' | sed -E 's/^\.B[IR]? +//' | sort -u)
[ -n "$help_options" ] || { echo "FAIL: --help lists no options"; exit 1; }
if [ "$help_options" != "$page_options" ]; then
    echo "FAIL: --help and the manual page list different options:"
    diff <(echo "$help_options") <(echo "$page_options") || true
    exit 1
fi
echo "$(echo "$help_options" | wc -l) options in both"
