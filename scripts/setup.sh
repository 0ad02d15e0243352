#!/usr/bin/env bash
# Installs the Debian packages Sorvanel builds, runs and tests with, on a
# brand-new minimal Debian 12 (installs are without recommends, so every
# package a step needs is named here; CI proves it on a fresh machine).
# Idempotent: only what is missing is installed.
#   scripts/setup.sh         what building, playing and the native tests need
#   scripts/setup.sh --web   that, the web build's Emscripten and the
#                            headless Chromium its tests drive (about 1 GB),
#                            and Debian's source of libopenmpt, which the web
#                            build compiles (fetch_libopenmpt_source.sh: once,
#                            adding a deb-src entry for Debian's archive where
#                            the machine has none, and saying so)
set -euo pipefail

packages=(
    # building
    build-essential cmake pkg-config clang libclang-rt-14-dev clang-format
    libgl1-mesa-dev libglu1-mesa-dev libegl-dev libegl-mesa0 libgl1-mesa-dri
    # the GL subset draws with OpenGL ES 3
    libgles-dev
    libsdl2-dev libopenmpt-dev openmpt123
    libjpeg62-turbo-dev libpng-dev libfreetype-dev libfontconfig-dev fonts-roboto-unhinted
    # FLTK's CMake package imports the fluid program and fails without it
    libfltk1.3-dev fluid
    # testing: GL under X, keys, captures, the installed copy and the package
    libgtest-dev libbenchmark-dev
    xvfb xauth xdotool x11-utils
    ffmpeg
    file man-db desktop-file-utils appstream
    # packaging: cpack's DEB generator reads dependencies with dpkg-shlibdeps
    dpkg-dev
    # sound on a real server: the module's own PulseAudio stream (libpulse),
    # and the live tests' private PulseAudio with a null sink, under load
    libpulse-dev pulseaudio pulseaudio-utils stress-ng
    # the same live test on a private PipeWire, as Debian's desktop runs it
    pipewire wireplumber pipewire-pulse dbus
)
if [ "${1:-}" = "--web" ]; then
    packages+=(
        # the show compiled to WebAssembly (Debian's Emscripten and its node)
        emscripten nodejs
        # the browser tests: headless Chromium driven over its DevTools socket
        chromium python3-websocket
        # the same tests in the two other engines: Firefox ESR (Marionette)
        # and WebKitGTK (python3-gi), in windows under Xvfb
        firefox-esr gir1.2-webkit2-4.1 python3-gi
    )
fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    sudo=""
    if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

if [ "${1:-}" = "--web" ]; then
    "$(dirname "$0")/fetch_libopenmpt_source.sh"
fi
