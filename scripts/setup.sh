#!/usr/bin/env bash
# Installs the Debian packages Sorvanel builds, runs and tests with.
# Idempotent: only what is missing is installed.
set -euo pipefail

packages=(
    build-essential cmake pkg-config clang libclang-rt-14-dev clang-format
    libgl1-mesa-dev libglu1-mesa-dev libegl-dev libegl-mesa0 libgl1-mesa-dri
    libsdl2-dev libopenmpt-dev openmpt123
    libjpeg62-turbo-dev libpng-dev libfreetype-dev libfontconfig-dev fonts-roboto-unhinted
    libfltk1.3-dev fluid
    libgtest-dev libbenchmark-dev
    xvfb xauth xdotool x11-utils
    ffmpeg
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

echo "Installing: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
