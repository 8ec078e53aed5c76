#!/usr/bin/env bash
# Fails when a C++ source is not formatted with the project's .clang-format.
set -euo pipefail
cd "$(dirname "$0")/.."
files=$(git ls-files 'src/*.cc' 'src/*.h' 'tests/*.cc' 'tests/*.h' 'tools/*.cc' 'bench/*.cc' 'fuzz/*.cc' 2>/dev/null || true)
[ -z "$files" ] && exit 0
# shellcheck disable=SC2086
clang-format --dry-run --Werror $files
