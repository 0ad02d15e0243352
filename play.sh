#!/usr/bin/env bash
# Builds Sorvanel (installing what is missing) and starts the show.
# Any arguments go to talvenor, e.g. ./play.sh --fullscreen --window 1024x768
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release
cmake --build build -j2
cd build
exec ./talvenor "$@"
