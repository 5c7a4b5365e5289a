#!/usr/bin/env bash
# Installs everything the build and the tests need from Debian's archive.
# Safe to run again: apt-get skips what is already there.
set -euo pipefail

packages=(
    # toolchain
    build-essential cmake ninja-build pkg-config ccache
    # JUCE 7 from Debian: modules, CMake config and juceaide
    juce-modules-source juce-tools
    # libraries Debian's JUCE is built against, linked through pkg-config
    libflac-dev libvorbis-dev libogg-dev zlib1g-dev libpng-dev libjpeg-dev
    # JUCE's Linux GUI and audio back ends
    libasound2-dev libjack-jackd2-dev libfreetype-dev libfontconfig1-dev
    libx11-dev libxext-dev libxinerama-dev libxrandr-dev libxcursor-dev libgl-dev
    # a font for the editor's text when it renders headlessly
    fonts-dejavu-core
    # the export helper's tempo analysis
    libaubio-dev
    # tests and benchmarks
    libgtest-dev libgmock-dev libbenchmark-dev
    # checking the built bundles: lv2ls/lv2info, the LV2 core vocabulary, nm,
    # and a display for the host checker's editor windows
    lilv-utils lv2-dev binutils xvfb xauth libx11-dev
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if ((${#missing[@]})); then
    sudo=""
    [[ $(id -u) -eq 0 ]] || sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
