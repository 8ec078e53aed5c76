#!/usr/bin/env bash
# Builds the program and its tests with AddressSanitizer and UndefinedBehaviorSanitizer in
# build-asan/ and runs the unit, integration and gui tests there. The decoder child is a fork
# of the process under test, so it runs instrumented too.
#   bash scripts/sanitize.sh            build and run everything
#   bash scripts/sanitize.sh -R Shape   extra arguments go to ctest
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
flags="-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"
# ccache where it is installed (a developer's machine); CI's fresh machine builds without it.
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" \
  -DKELVARO_BUILD_BENCH=OFF \
  "-DCMAKE_C_FLAGS=$flags" "-DCMAKE_CXX_FLAGS=$flags" \
  "-DCMAKE_EXE_LINKER_FLAGS=-fsanitize=address,undefined" \
  "-DCMAKE_SHARED_LINKER_FLAGS=-fsanitize=address,undefined" >/dev/null
nice cmake --build build-asan -j "$(nproc)"
# The decoder child runs under an address-space limit: an allocation it cannot have must come
# back as a null pointer (as in the plain build), not end the child as a sanitizer report.
# ASan's exit code is distinct so that a report is never mistaken for a decoder failure.
# Reports go to files, so that one from a child whose failure a test expects is still seen.
reports=$(mktemp -d)
trap 'rm -rf "$reports"' EXIT
export ASAN_OPTIONS="log_path=$reports/asan:allocator_may_return_null=1:detect_leaks=1:abort_on_error=0:exitcode=86:strict_string_checks=1:detect_stack_use_after_return=1:check_initialization_order=1"
export UBSAN_OPTIONS="log_path=$reports/ubsan:print_stacktrace=1:halt_on_error=1:exitcode=86"
# Leaks inside the system font library that the offscreen Qt platform loads are not ours.
export LSAN_OPTIONS="suppressions=$root/scripts/lsan.supp:print_suppressions=0"
cd build-asan
status=0
ctest --output-on-failure -j "$(nproc)" "$@" || status=$?
if compgen -G "$reports/*" >/dev/null; then
  echo "sanitizer reports:" >&2
  cat "$reports"/* >&2
  status=1
fi
exit "$status"
