#!/usr/bin/env bash
# Installs every Debian package Kelvaro Pro needs to build, test and run, then builds it in
# Release mode into ./build. Safe to run again: apt-get skips what is there, cmake rebuilds
# only what changed.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
  build-essential cmake ninja-build pkg-config git
  libdevil-dev libpng-dev zlib1g-dev liblcms2-dev liblcms2-utils libcups2-dev qt6-base-dev qt6-svg-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  ghostscript cups-daemon cups-client imagemagick xvfb xauth
  clang libclang-rt-14-dev clang-format clang-tidy
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build -j "$(nproc)"
