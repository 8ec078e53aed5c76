#!/usr/bin/env bash
# Builds (if needed) and runs every test: unit, integration and gui labels.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --build build -j "$(nproc)"
cd build
ctest --output-on-failure -j "$(nproc)" "$@"
