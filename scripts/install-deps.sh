#!/usr/bin/env bash
# Installs what building, running, testing and fuzzing the tool need on Debian 12.
# Safe to run again: apt-get skips what is already there.
set -euo pipefail

packages=(
    build-essential cmake pkg-config ccache
    qt6-base-dev qt6-charts-dev qt6-multimedia-dev libqt6opengl6-dev libgl-dev
    qt6-qpa-plugins
    libjpeg62-turbo-dev libbenchmark-dev libsndfile1-dev libsoxr-dev libarchive-dev
    xvfb xauth x11-utils fonts-dejavu-core
    clang libclang-rt-14-dev
    lintian
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -qq
"${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
