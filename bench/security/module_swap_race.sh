#!/usr/bin/env bash
# The check-and-load race, run long: while a loop swaps a module's name
# between a safe module and another user's planted one as fast as it can,
# talvenor --list loads that name TRIES times (200 by default). The planted
# module appends a line to a mark file each time its code runs; the run
# fails if any line appears. Folders: one world-writable without the sticky
# bit (every try must be refused) and, as root, a sticky shared one (the
# safe module loads, the planted one, owned by nobody, is refused).
#   bench/security/module_swap_race.sh [BUILD_DIR] [TRIES]
set -euo pipefail
build=$(realpath "${1:-build}")
tries=${2:-200}
talvenor=$build/launcher/talvenor
[ -x "$talvenor" ] || talvenor=$(find "$build" -name talvenor -type f -perm -u+x | head -1)
good=$build/tests/launcher/test_full.dmd
evil=$build/tests/launcher/test_planted.dmd
for f in "$talvenor" "$good" "$evil"; do
    [ -f "$f" ] || { echo "missing $f (build the tests first)" >&2; exit 2; }
done
scratch=$(mktemp -d)
trap 'kill "$swapper" 2>/dev/null || true; rm -rf "$scratch"' EXIT
chmod 755 "$scratch"
export TEST_DMD_PLANTED_MARK=$scratch/planted TEST_DMD_LOAD_MARK=$scratch/loaded
export XDG_RUNTIME_DIR=$scratch/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"

kinds=(777)
[ "$(id -u)" = 0 ] && kinds+=(1777)
status=0
for mode in "${kinds[@]}"; do
    dir=$scratch/shared-$mode
    mkdir "$dir"
    chmod "$mode" "$dir"
    cp "$good" "$dir/good.dmd"
    cp "$evil" "$dir/evil.dmd"
    [ "$(id -u)" = 0 ] && chown 65534:65534 "$dir/evil.dmd"
    cp "$dir/good.dmd" "$dir/m.dmd"
    (while :; do
        for f in evil good; do ln -f "$dir/$f.dmd" "$dir/next.dmd" && mv -f "$dir/next.dmd" "$dir/m.dmd"; done
    done) 2>/dev/null &
    swapper=$!
    loaded=0
    refused=0
    start=$(date +%s.%N)
    for ((i = 0; i < tries; i++)); do
        rm -f "$TEST_DMD_LOAD_MARK"
        out=$("$talvenor" --list "$dir/m.dmd" 2>&1 || true)
        if [ -e "$TEST_DMD_LOAD_MARK" ]; then loaded=$((loaded + 1)); fi
        case $out in *refused*) refused=$((refused + 1)) ;; esac
    done
    kill "$swapper"
    wait "$swapper" 2>/dev/null || true
    planted=0
    [ -e "$TEST_DMD_PLANTED_MARK" ] && planted=$(wc -l < "$TEST_DMD_PLANTED_MARK")
    seconds=$(echo "$(date +%s.%N) - $start" | bc)
    echo "folder mode $mode: $tries tries in $seconds s: safe module loaded $loaded, refused $refused, planted code ran $planted"
    [ "$planted" = 0 ] || status=1
    rm -f "$TEST_DMD_PLANTED_MARK"
done
exit $status
