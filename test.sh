#!/usr/bin/env bash
# Builds Sorvanel and runs the whole test suite, under Xvfb when there is no
# display. Installs what is missing first (Debian packages, needs root or sudo).
#   ./test.sh              normal build in build/
#   ./test.sh --sanitize   AddressSanitizer + UndefinedBehaviorSanitizer build in build-asan/
set -euo pipefail
cd "$(dirname "$0")"

build=build
flags=()
if [ "${1:-}" = "--sanitize" ]; then
    build=build-asan
    flags=(-DSORVANEL_SANITIZE=ON -DSORVANEL_BENCH=OFF)
fi

scripts/setup.sh
cmake -S . -B "$build" "${flags[@]}"
cmake --build "$build" -j2

# Leaks inside the system's GL, font and audio libraries are theirs, not ours.
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
# The suite needs no sound hardware.
export SDL_AUDIODRIVER="${SDL_AUDIODRIVER:-dummy}"

tests=(ctest --test-dir "$build" --output-on-failure -j2 --timeout 600)
if [ -n "${DISPLAY:-}" ]; then
    "${tests[@]}"
else
    xvfb-run -a -s "-screen 0 1280x1024x24" "${tests[@]}"
fi
