#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build-fuzz/ and runs each for a short while from its
# seed corpus in fuzz/corpus/<target>/, as many at once as there are cores. Any finding fails:
# a crash or failed check, a sanitizer report, a leak, an input that takes over 10 s, or a run
# that grows past 2 GB. What a run finds is kept only in a scratch folder.
#   bash scripts/fuzz-smoke.sh                every target, 30 s each
#   bash scripts/fuzz-smoke.sh 600 fuzz_ini   the named targets, ten minutes each
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
[ $# -gt 0 ] && shift
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for source in fuzz/fuzz_*.cc; do targets+=("$(basename "$source" .cc)"); done
fi

launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  "${launcher[@]}" -DKELVARO_BUILD_FUZZ=ON -DKELVARO_BUILD_GUI=OFF -DKELVARO_BUILD_TESTS=OFF \
  -DKELVARO_BUILD_BENCH=OFF >/dev/null
# Only the targets and the libraries they name.
nice cmake --build build-fuzz -j "$(nproc)" --target "${targets[@]}"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Undefined behaviour is a finding too, not a message to read past.
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"

# Runs one target; its report goes to $work/<target>.report, a finding also marks .failed.
run() {
  local target=$1
  mkdir -p "$work/$target"
  # New inputs go to the scratch folder; the committed seeds are only read.
  if nice "build-fuzz/bin/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="$work/$target-" "$work/$target" "fuzz/corpus/$target" \
    >"$work/$target.log" 2>&1; then
    echo "$target: $(grep -o 'Done [0-9]* runs in [0-9]* second(s)' "$work/$target.log")"
  else
    touch "$work/$target.failed"
    echo "$target: FINDING"
    tail -n 80 "$work/$target.log"
    for artifact in "$work/$target"-*; do
      [ -f "$artifact" ] || continue
      echo "input $(basename "$artifact") (first 512 bytes):"
      head -c 512 "$artifact" | od -A d -c | head -n 40
    done
  fi >"$work/$target.report"
}

for target in "${targets[@]}"; do
  # As many runs at once as there are cores.
  while [ "$(jobs -rp | wc -l)" -ge "$(nproc)" ]; do wait -n || true; done
  run "$target" &
done
wait
status=0
for target in "${targets[@]}"; do
  cat "$work/$target.report"
  [ -e "$work/$target.failed" ] && status=1
done
[ "$status" -eq 0 ] && echo "fuzz smoke: ${#targets[@]} targets, ${seconds} s each, no finding"
exit "$status"
