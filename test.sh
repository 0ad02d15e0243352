#!/usr/bin/env bash
# Builds Sorvanel and runs the whole test suite, under Xvfb when there is no
# display. Installs what is missing first (Debian packages, needs root or sudo).
#   ./test.sh              normal build in build/, the show on the GL subset
#                          over OpenGL ES 3 in build-es3/ for the ES3 tests (the
#                          show alone), and the site in build/web/ for the
#                          browser tests
#   ./test.sh --sanitize   AddressSanitizer + UndefinedBehaviorSanitizer build in build-asan/
#                          (the subset's own tests included, the ES3 show's not)
set -euo pipefail
cd "$(dirname "$0")"

build=build
es3=build-es3
web=--web
flags=()
if [ "${1:-}" = "--sanitize" ]; then
    build=build-asan
    es3=""
    web=""
    flags=(-DSORVANEL_SANITIZE=ON -DSORVANEL_BENCH=OFF)
fi

scripts/setup.sh $web
if [ -n "$es3" ]; then
    # README's ES3 commands, for the show alone: its tests run from the desktop
    # build against it. Without the two settings the ES3 build makes its own
    # tests and benchmarks too (ctest --test-dir build-es3 runs them), a second
    # build of the tests that two cores need not spend here.
    cmake -S . -B "$es3" -DSORVANEL_GL=ES3 -DBUILD_TESTING=OFF -DSORVANEL_BENCH=OFF
    cmake --build "$es3" -j2
    flags+=(-DSORVANEL_ES3_BUILD_DIR="$PWD/$es3")
fi
cmake -S . -B "$build" "${flags[@]}"
cmake --build "$build" -j2
if [ -n "$web" ]; then
    cmake --build "$build" --target web
fi

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
