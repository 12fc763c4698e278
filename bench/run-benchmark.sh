#!/usr/bin/env bash
# Measures velmora-cli against extract_chmLib (libchm-bin) and 7-Zip on one
# large CHM file: listing and extracting everything, wall time, throughput,
# the ratio to the fastest peer and peak resident memory. Prints a markdown
# table.
#
# Usage: bench/run-benchmark.sh [BUILD_DIR]     (default: build)
# The CHM file is generated and compiled with chmcmd once and cached in
# BUILD_DIR/bench/; delete that folder to build it again. The tools extract
# into BUILD_DIR/bench/out, or into VELMORA_BENCH_OUT when it is set (for
# example a tmpfs folder, to take the disk out of the figures).
set -euo pipefail

src=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${1:-$src/build}")
cache=$build/bench
chm=$cache/bench.chm
pages=20000
runs=${VELMORA_BENCH_RUNS:-3}

for tool in chmcmd extract_chmLib 7z convert /usr/bin/time; do
  command -v "$tool" >/dev/null || { echo "missing $tool: run scripts/install-deps.sh" >&2; exit 1; }
done

if [ ! -x "$build/velmora-cli" ]; then
  [ -f "$build/CMakeCache.txt" ] || cmake -S "$src" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build "$build" --target velmora-cli
fi
cli=$build/velmora-cli

# Generated HTML pages in nested folders plus noise images (which do not
# compress), compiled without full-text search so chmcmd stays quick.
build_chm() {
  local project=$cache/project
  rm -rf "$project" && mkdir -p "$project"
  echo "Generating $pages pages and 400 images in $project ..." >&2
  awk -v root="$project" -v pages="$pages" -v seed=20240 -f "$src/bench/generate-pages.awk" > "$cache/files.lst"
  mkdir -p "$project/images"
  convert -size 1280x1280 xc: +noise Random -crop 64x64 +repage "$project/images/tile%03d.png"
  for i in $(seq 0 399); do
    local set=$(printf 'set%02d' $((i % 20)))
    mkdir -p "$project/images/$set"
    mv "$project/images/$(printf 'tile%03d.png' "$i")" "$project/images/$set/$(printf 'img%03d.png' "$i")"
    echo "images/$set/$(printf 'img%03d.png' "$i")" >> "$cache/files.lst"
  done
  {
    printf '[OPTIONS]\r\nCompatibility=1.1 or later\r\nCompiled file=bench.chm\r\n'
    printf 'Default topic=docs/sec00/chap0/page00000.htm\r\nFull-text search=No\r\n'
    printf 'Language=0x409 English (United States)\r\nTitle=Velmora benchmark\r\n\r\n[FILES]\r\n'
    sed 's/$/\r/' "$cache/files.lst"
  } > "$project/bench.hhp"
  echo "Compiling with chmcmd ..." >&2
  (cd "$project" && chmcmd --no-html-scan --verbosity 0 bench.hhp >/dev/null)
  (cd "$project" && find docs images -type f -printf '%s\n') | awk '{ s += $1 } END { print s }' > "$cache/bench.bytes"
  mv "$project/bench.chm" "$chm"
  rm -rf "$project"
}

mkdir -p "$cache"
[ -f "$chm" ] && [ -f "$cache/bench.bytes" ] || build_chm
bytes=$(cat "$cache/bench.bytes")
entries=$("$cli" list "$chm" | grep -c '^ *[^ ]' || true)
entries=$((entries - 1))  # the summary line

# measure NAME OUTDIR COMMAND...: one run; keeps the best wall time
# (microseconds) and the largest peak RSS (KiB). OUTDIR is emptied first.
declare -A wall rss
load=$(cut -d' ' -f1-3 /proc/loadavg)
measure() {
  local name=$1 out=$2; shift 2
  local t0 t1 t kib
  rm -rf "$out"; mkdir -p "$out"; sync
  t0=$(date +%s%N)
  /usr/bin/time -f %M -o "$cache/rss.txt" "$@" >/dev/null 2>&1 || { echo "$name failed: $*" >&2; exit 1; }
  t1=$(date +%s%N)
  t=$(( (t1 - t0) / 1000 ))
  kib=$(tail -n 1 "$cache/rss.txt")
  if [ -z "${wall[$name]:-}" ] || [ "$t" -lt "${wall[$name]}" ]; then wall[$name]=$t; fi
  if [ "$kib" -gt "${rss[$name]:-0}" ]; then rss[$name]=$kib; fi
}

# The tools take turns in every round, so a burst of load on the machine
# does not fall on one of them only.
out=${VELMORA_BENCH_OUT:-$cache/out}
for ((round = 0; round < runs; round++)); do
  measure "velmora-cli list"    "$out/list"    "$cli" list "$chm"
  measure "7z l"                "$out/7zl"     7z l "$chm"
  measure "velmora-cli extract" "$out/vel"     "$cli" extract "$chm" -o "$out/vel" -t 1
  measure "extract_chmLib"      "$out/chmlib"  extract_chmLib "$chm" "$out/chmlib"
  measure "7z x"                "$out/7z"      7z x -y "-o$out/7z" "$chm"
done

# velmora-cli and 7-Zip read every directory chunk and must have written the
# same pages and images; extract_chmLib reads only the chunks the header
# names, and chmcmd names them one off, so it writes fewer files.
same=identical
for d in docs images; do
  diff -rq "$out/vel/$d" "$out/7z/$d" >/dev/null || same=DIFFERENT
done
files_vel=$(find "$out/vel" -type f | wc -l)
files_chmlib=$(find "$out/chmlib" -type f | wc -l)
rm -rf "$out"

fastest_peer_extract=$(( wall["extract_chmLib"] < wall["7z x"] ? wall["extract_chmLib"] : wall["7z x"] ))
row() {  # name kind peer_time
  awk -v n="$1" -v k="$2" -v t="${wall[$1]}" -v p="$3" -v b="$bytes" -v r="${rss[$1]}" 'BEGIN {
    printf "| %s | %s | %.3f | %.1f | %.2f | %.1f |\n", n, k, t / 1e6, b / 1048576 / (t / 1e6), t / p, r / 1024 }'
}
cpu=$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//')
mem=$(awk '/MemTotal/ { printf "%.1f GiB", $2 / 1048576 }' /proc/meminfo)
echo
echo "Machine: $(nproc) cores, $cpu, $mem RAM; $(uname -sr); load average before the runs $load."
echo "File: $(basename "$chm"), $(stat -c %s "$chm") bytes, $entries items (chmcmd), $bytes bytes of pages and images uncompressed."
echo "Output to $(df --output=fstype "$(dirname "$out")" | tail -n 1); best of $runs runs; pages and images of velmora-cli and 7z $same;"
echo "files written: velmora-cli $files_vel, extract_chmLib $files_chmlib (it misses the first directory chunk)."
echo
echo "| Command | Operation | Wall time (s) | Throughput (MB/s) | Ratio to fastest peer | Peak RSS (MiB) |"
echo "|---|---|---:|---:|---:|---:|"
row "velmora-cli list" "list (type 0)" "${wall["7z l"]}"
row "7z l" "list" "${wall["7z l"]}"
row "velmora-cli extract" "extract all (type 1)" "$fastest_peer_extract"
row "extract_chmLib" "extract all" "$fastest_peer_extract"
row "7z x" "extract all" "$fastest_peer_extract"
echo
awk -v e="${wall["velmora-cli extract"]}" -v p="$fastest_peer_extract" -v l="${wall["velmora-cli list"]}" \
    -v r1="${rss["velmora-cli list"]}" -v r2="${rss["velmora-cli extract"]}" 'BEGIN {
  printf "- extract-all vs fastest peer: %.2f (target <= 1.00): %s\n", e / p, (e <= p ? "met" : "MISSED")
  printf "- extract-all / list: %.1fx (target >= 5x): %s\n", e / l, (e >= 5 * l ? "met" : "MISSED")
  m = r1 > r2 ? r1 : r2
  printf "- peak RSS of velmora-cli: %.1f MiB (target <= 64 MiB): %s\n", m / 1024, (m <= 65536 ? "met" : "MISSED")
}'
