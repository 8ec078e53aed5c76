#!/usr/bin/env bash
# Times `kelvaro print` of a generated 24-megapixel PNG (6000 x 4000, sRGB, C920WT, A3, threshold
# on) to a job file against `vips icc_transform` of the same file with the same two profiles to
# a TIFF, alternately, PAIRS times. Prints each pair, the median ratio of the pairs and the peak
# resident memory of both (from /usr/bin/time), in bytes per pixel too, and the median of each
# step of the print from its own --timings. Needs a Release build
# in build/ and the packages libvips-tools and time.
#   bash bench/print_vs_vips.sh [PAIRS]      (default 5)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
pairs=${1:-5}
kelvaro="$root/build/bin/kelvaro"
profiles="$root/build/share/kelvaropro/profiles"
for tool in vips /usr/bin/time convert; do
  command -v "$tool" >/dev/null || { echo "needs $tool (apt-get install libvips-tools time imagemagick)" >&2; exit 1; }
done
[ -x "$kelvaro" ] || { echo "build first: bash scripts/setup.sh" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
picture="$work/art.png"
# Artwork-like content: smooth colour fields with detail, so that the PNG neither compresses
# to nothing nor is noise.
convert -seed 7 -size 1500x1000 plasma:fractal -blur 0x1 -resize '6000x4000!' \
  -units PixelsPerInch -density 300 -depth 8 -define png:color-type=2 "$picture"
pixels=$((6000 * 4000))

# The program's stored settings live in a fresh home of their own.
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" SOURCE_DATE_EPOCH=0
mkdir -p "$HOME"
unset CUPS_SERVER

run_kelvaro() {
  /usr/bin/time -f '%e %M' -o "$work/k.time" \
    "$kelvaro" print "$picture" --output "$work/art.ps" --model C920WT --paper A3 --threshold \
    --profile-in sRGB.icm --profile-out KelvaroWhiteToner.icc --timings >/dev/null 2>"$work/k.err" ||
    { cat "$work/k.err" >&2; exit 1; }
  # The step lines of --timings ("  decode   412.3 ms ..."), kept for the medians.
  awk '/^step timings/ { on = 1; next } on && $3 == "ms" { print $1, $2 }' "$work/k.err" \
    >>"$work/steps"
  cat "$work/k.time"
}
run_vips() {
  /usr/bin/time -f '%e %M' -o "$work/v.time" vips icc_transform "$picture" "$work/art.tif" \
    "$profiles/KelvaroWhiteToner.icc" --input-profile "$profiles/sRGB.icm" --intent perceptual
  cat "$work/v.time"
}

ratios=() kmem=() vmem=()
printf '%-5s %10s %10s %7s\n' pair kelvaro_s vips_s ratio
for i in $(seq 1 "$pairs"); do
  read -r kt km < <(run_kelvaro)
  read -r vt vm < <(run_vips)
  ratio=$(awk -v a="$kt" -v b="$vt" 'BEGIN { printf "%.2f", a / b }')
  ratios+=("$ratio") kmem+=("$km") vmem+=("$vm")
  printf '%-5s %10s %10s %7s\n' "$i" "$kt" "$vt" "$ratio"
done
median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
km=$(median "${kmem[@]}")
vm=$(median "${vmem[@]}")
echo "median ratio kelvaro/vips: $(median "${ratios[@]}")"
echo "median of each step of kelvaro print (ms):"
awk '{ if (!($1 in seen)) { seen[$1] = 1; order[++n] = $1 } v[$1, ++c[$1]] = $2 }
  END { for (i = 1; i <= n; ++i) { s = order[i]; m = c[s]
          for (a = 1; a <= m; ++a) for (b = a + 1; b <= m; ++b)
            if (v[s, b] < v[s, a]) { t = v[s, a]; v[s, a] = v[s, b]; v[s, b] = t }
          printf "  %-14s %9.1f\n", s, v[s, int((m + 1) / 2)] } }' "$work/steps"
awk -v k="$km" -v v="$vm" -v p="$pixels" 'BEGIN {
  printf "peak memory: kelvaro %.0f MiB (%.1f bytes per pixel), vips %.0f MiB (%.1f bytes per pixel)\n",
    k / 1024, k * 1024 / p, v / 1024, v * 1024 / p }'
