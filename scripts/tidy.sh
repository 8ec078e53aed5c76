#!/usr/bin/env bash
# Runs clang-tidy with the checks of .clang-tidy (function size and cognitive complexity) on every
# .cc file under src/ and tools/, with the compile commands of ./build (scripts/setup.sh makes it).
# Fails on any finding; the findings are listed once each, sorted by file.
#   bash scripts/tidy.sh              every source under src/ and tools/
#   bash scripts/tidy.sh src/stats    only sources whose path contains one of the arguments
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
[ -f build/compile_commands.json ] || { echo "tidy: no build/compile_commands.json; run scripts/setup.sh" >&2; exit 2; }
filters=("^$root/(src|tools)/.*\\.cc\$")
if [ $# -gt 0 ]; then
  filters=()
  for part in "$@"; do filters+=("^$root/.*${part}.*\\.cc\$"); done
fi
log=$(mktemp)
trap 'rm -f "$log"' EXIT
status=0
# run-clang-tidy has no -warnings-as-errors option; .clang-tidy makes every finding an error.
run-clang-tidy -clang-tidy-binary clang-tidy-14 -p build -j "$(nproc)" -quiet \
  -header-filter="^$root/(src|tools)/" "${filters[@]}" >"$log" 2>&1 || status=$?
# One line per finding: place, the message and, for a long function, its line count (a note
# below the message). A header's finding is reported by every source that includes it: each
# is listed once.
findings=$(sed 's/\x1b\[[0-9;]*m//g' "$log" | awk -v root="$root/" '
  function flush() { if (finding != "") print finding; finding = "" }
  / (error|warning): / && /^\// { flush(); finding = $0; sub(root, "", finding); next }
  /note: [0-9]+ lines including whitespace/ && finding != "" {
    match($0, /[0-9]+ lines including whitespace and comments/)
    finding = finding " -- " substr($0, RSTART, RLENGTH)
  }
  END { flush() }' | sort -u | sort -t: -k1,1 -k2,2n -s)
if [ -n "$findings" ]; then
  echo "$findings"
  echo "clang-tidy: $(echo "$findings" | wc -l) finding(s)" >&2
  status=1
elif [ "$status" -ne 0 ]; then
  cat "$log" >&2
fi
[ "$status" -eq 0 ] && echo "clang-tidy: no findings in src/ and tools/"
exit "$status"
