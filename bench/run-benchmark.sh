#!/usr/bin/env bash
# Measures velmora-cli against 7-Zip and extract_chmLib (libchm-bin) on two
# generated CHM files: listing (velmora-cli list against 7z l) and extracting
# everything (velmora-cli extract -t 1 against 7z x and extract_chmLib), into
# tmpfs and into the disk of the build folder, with both cores and pinned to
# one core (taskset -c 0). Prints a markdown table of median wall time, median
# CPU time (user + system), largest peak RSS and the ratio to the fastest peer,
# then the targets, met or MISSED.
#
# Usage: bench/run-benchmark.sh [BUILD_DIR]     (default: build)
#
# The CHM files are generated, compiled with chmcmd once and cached in
# BUILD_DIR/bench/; delete a cached .chm file to build it again:
#   bench.chm  20,000 pages of 2.5 to 8 KB of text in 200 nested folders and
#              400 noise PNG images
#   api.chm    an API reference: 15,000 pages of 1 to 8 KB in 150 namespace
#              folders, with the same navigation bar, syntax block, parameter
#              table and footer on every page, and 300 noise PNG icons
#
# Environment:
#   VELMORA_BENCH_RUNS=N      timed runs of each command (default 5); the
#                             figures are medians, after one untimed warm-up
#   VELMORA_BENCH_TMPFS=DIR   tmpfs folder for the output (default /dev/shm)
#   VELMORA_BENCH_WINDOW=1    also builds and runs bench_open_list: opening
#                             bench.chm in the main window (offscreen) until
#                             its list is filled
#   VELMORA_BENCH_NO_WAIT=1   skips the wait before the disk measurements
#                             (see below; their figures may then be too slow)
#   VELMORA_BENCH_FILES_ONLY=1  makes the two CHM files and stops (the search
#                             benchmark uses them)
#
# Every run writes into a fresh folder of its own. On the disk, the folders
# stay until every disk measurement is done: ext4 without a journal passes
# over inodes freed in the last minute (six while their inode table block is
# unwritten) when it allocates new ones, so creating 20,000 files right after
# deleting 20,000 others takes up to several times as long. For the same
# reason the disk measurements wait until six minutes have passed since this
# script last deleted files there, and the folders are deleted in the
# background after the table, under a lock that the next run waits for.
set -euo pipefail

src=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${1:-$src/build}")
cache=$build/bench
runs=${VELMORA_BENCH_RUNS:-5}
[[ $runs =~ ^[1-9][0-9]*$ ]] || { echo "VELMORA_BENCH_RUNS must be a positive number" >&2; exit 2; }

for tool in chmcmd extract_chmLib 7z convert /usr/bin/time taskset flock; do
  command -v "$tool" >/dev/null || { echo "missing $tool: run scripts/install-deps.sh" >&2; exit 1; }
done

if [ ! -x "$build/velmora-cli" ]; then
  [ -f "$build/CMakeCache.txt" ] || cmake -S "$src" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build "$build" -j1 --target velmora-cli
fi
cli=$build/velmora-cli
mkdir -p "$cache"

# When this script last deleted files on the disk of the build folder
# (seconds since the epoch), kept across runs.
freed_stamp=$cache/disk-freed-at
note_disk_freed() { date +%s > "$freed_stamp"; }

# compile_project PROJECT NAME FILE_LIST DEFAULT_TOPIC TITLE FOLDER...: writes
# PROJECT/NAME.hhp listing the files of FILE_LIST, compiles it with chmcmd
# (no full-text search, so it stays quick) into $cache/NAME.chm and notes in
# $cache/NAME.bytes how many bytes the FOLDERs of the project hold.
compile_project() {
  local project=$1 name=$2 list=$3 topic=$4 title=$5
  shift 5
  {
    printf '[OPTIONS]\r\nCompatibility=1.1 or later\r\nCompiled file=%s.chm\r\n' "$name"
    printf 'Default topic=%s\r\nFull-text search=No\r\n' "$topic"
    printf 'Language=0x409 English (United States)\r\nTitle=%s\r\n\r\n[FILES]\r\n' "$title"
    sed 's/$/\r/' "$list"
  } > "$project/$name.hhp"
  echo "Compiling with chmcmd ..." >&2
  (cd "$project" && chmcmd --no-html-scan --verbosity 0 "$name.hhp" >/dev/null)
  (cd "$project" && find "$@" -type f -printf '%s\n') | awk '{ s += $1 } END { print s }' > "$cache/$name.bytes"
  mv "$project/$name.chm" "$cache/$name.chm"
}

# The 20,000-page file: generated HTML pages in nested folders plus noise
# images (which do not compress), compiled without full-text search so
# chmcmd stays quick.
build_bench_chm() {
  local project=$cache/project pages=20000
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
  compile_project "$project" bench "$cache/files.lst" docs/sec00/chap0/page00000.htm "Velmora benchmark" docs images
  rm -rf "$project"
  note_disk_freed
}

# The API reference: 150 namespace folders of 100 pages each, a style sheet
# and 300 noise icons of 48x48 pixels in images/setNN/. Fixed seeds (and PNG
# files without time stamps) make the same project every time.
build_api_chm() {
  local project=$cache/api-project
  rm -rf "$project" && mkdir -p "$project/images"
  echo "Generating the API reference project (15,000 pages, 300 images) in $project ..." >&2
  awk -v root="$project" -v folders=150 -v perfolder=100 -v images=300 -v seed=31337 \
    -f "$src/bench/generate-api-pages.awk" > "$cache/api-files.lst"
  convert -seed 4711 -size 1440x480 xc: +noise Random -crop 48x48 +repage \
    -define png:exclude-chunks=date,time "$project/images/tile%03d.png"
  local i set
  for i in $(seq 0 299); do
    set=$(printf 'set%02d' $((i / 30)))
    mkdir -p "$project/images/$set"
    mv "$project/images/$(printf 'tile%03d.png' "$i")" "$project/images/$set/$(printf 'pic%03d.png' "$i")"
    echo "images/$set/$(printf 'pic%03d.png' "$i")" >> "$cache/api-files.lst"
  done
  compile_project "$project" api "$cache/api-files.lst" api/index.htm "Velmora API reference benchmark" api images styles
  rm -rf "$project"
  note_disk_freed
}

[ -f "$cache/bench.chm" ] && [ -f "$cache/bench.bytes" ] || build_bench_chm
[ -f "$cache/api.chm" ] && [ -f "$cache/api.bytes" ] || build_api_chm
[ "${VELMORA_BENCH_FILES_ONLY:-0}" = 1 ] && exit 0

chms=(bench api)
declare -A content=([bench]="docs images" [api]="api images styles")  # the folders compared between tools

# Output folders: a tmpfs and the disk of the build folder.
fstype() { df --output=fstype "$1" | tail -n 1 | tr -d ' '; }
tmpfs_base=${VELMORA_BENCH_TMPFS:-/dev/shm}
tmp_root=
if [ -d "$tmpfs_base" ] && [ -w "$tmpfs_base" ] && [ "$(fstype "$tmpfs_base")" = tmpfs ]; then
  tmp_root=$(mktemp -d "$tmpfs_base/velmora-bench.XXXXXX")
else
  echo "Note: $tmpfs_base is not a writable tmpfs; measuring on the disk only (set VELMORA_BENCH_TMPFS)." >&2
fi
disk_root=$cache/out
disk_fs=$(fstype "$cache")
# Deleting the disk folders takes minutes (with the discard mount option
# every freed file waits for the disk), so it goes on in the background
# after the table is printed, holding the lock on delete.lock: a new run
# waits for it before it measures anything.
exec 9>"$cache/delete.lock"
if ! flock -n 9; then
  echo "Waiting for the previous run to finish deleting its folders on $disk_fs ..." >&2
  flock 9
fi
for old in "$disk_root" "$cache"/out.deleting.*; do
  if [ -e "$old" ]; then rm -rf "$old"; note_disk_freed; fi
done
mkdir -p "$disk_root"
cleanup() {
  if [ -n "$tmp_root" ]; then rm -rf "$tmp_root"; fi
  if [ -d "$disk_root" ]; then
    local trash=$cache/out.deleting.$$
    mv "$disk_root" "$trash"
    (rm -rf "$trash"; note_disk_freed) </dev/null >/dev/null 2>&1 &
  fi
}
trap cleanup EXIT

# The disk folders of all runs stay until the end: check there is room.
need=0
for c in "${chms[@]}"; do need=$((need + 2 * (3 + 3 * runs) * $(cat "$cache/$c.bytes") * 16 / 10)); done
free=$(($(df --output=avail -B1 "$disk_root" | tail -n 1)))
if [ "$free" -lt "$need" ]; then
  echo "the disk runs need about $((need >> 30)) GiB free in $disk_root, $((free >> 30)) GiB are: lower VELMORA_BENCH_RUNS" >&2
  exit 1
fi

# measure KEY PIN COMMAND...: one run of COMMAND (pinned to core 0 when PIN
# is 1), its output thrown away. Adds its wall time (microseconds) and CPU
# time (user + system, seconds) to the lists of KEY and keeps the largest
# peak RSS (KiB). Keys starting with "warm" are not kept.
declare -A wall cpu rss
timing=$cache/time.txt
measure() {
  local key=$1 pin=$2; shift 2
  local pinning=() t0 t1 kib user sys
  [ "$pin" = 1 ] && pinning=(taskset -c 0)
  sync  # the previous run's writes go to the disk outside the timing
  t0=${EPOCHREALTIME/./}
  if ! "${pinning[@]}" /usr/bin/time -f '%M %U %S' -o "$timing" "$@" >/dev/null 2>"$cache/stderr.txt"; then
    echo "failed: $*" >&2
    tail -n 5 "$cache/stderr.txt" >&2
    exit 1
  fi
  t1=${EPOCHREALTIME/./}
  [[ $key == warm* ]] && return
  read -r kib user sys < <(tail -n 1 "$timing")
  wall[$key]+=" $((t1 - t0))"
  cpu[$key]+=" $(awk -v u="$user" -v s="$sys" 'BEGIN { print u + s }')"
  [ "$kib" -gt "${rss[$key]:-0}" ] && rss[$key]=$kib
  return 0
}
median() { tr ' ' '\n' | awk 'NF { v[++n] = $1 } END {
  asort_n(v, n); print (n % 2 ? v[(n + 1) / 2] : (v[n / 2] + v[n / 2 + 1]) / 2) }
  function asort_n(a, n,   i, j, t) { for (i = 2; i <= n; i++) for (j = i; j > 1 && a[j - 1] > a[j]; j--) { t = a[j]; a[j] = a[j - 1]; a[j - 1] = t } }'; }

# Listing: nothing is written, so one measurement per file and core setting.
list_config() {  # CHM PIN
  local chm=$cache/$1.chm key r
  key="$1|-|$(cores_label "$2")"
  measure "warm" "$2" "$cli" list "$chm"
  measure "warm" "$2" 7z l "$chm"
  for ((r = 1; r <= runs; r++)); do
    measure "$key|velmora-cli list" "$2" "$cli" list "$chm"
    measure "$key|7z l" "$2" 7z l "$chm"
  done
}
cores_label() { [ "$1" = 1 ] && echo "1 (taskset)" || echo 2; }

# Extracting everything: a warm-up of each tool, then the tools take turns
# round by round, each run into a fresh folder under ROOT.
declare -A same written
extract_config() {  # CHM FS-LABEL ROOT PIN
  local name=$1 chm=$cache/$1.chm label=$2 dir=$3/$1-$4 pin=$4 key r d
  key="$name|$label|$(cores_label "$pin")"
  progress "$name.chm, extract all into $label, $(cores_label "$pin") core(s)"
  mkdir -p "$dir"
  measure "warm" "$pin" "$cli" extract "$chm" -o "$dir/warm-vel" -t 1
  measure "warm" "$pin" 7z x -y "-o$dir/warm-7z" "$chm"
  measure "warm" "$pin" extract_chmLib "$chm" "$dir/warm-chmlib"
  for ((r = 1; r <= runs; r++)); do
    measure "$key|velmora-cli extract" "$pin" "$cli" extract "$chm" -o "$dir/vel-$r" -t 1
    measure "$key|7z x" "$pin" 7z x -y "-o$dir/7z-$r" "$chm"
    measure "$key|extract_chmLib" "$pin" extract_chmLib "$chm" "$dir/chmlib-$r"
  done
  # velmora-cli and 7-Zip must have written the same pages and images.
  same[$key]=identical
  for d in ${content[$name]}; do
    diff -rq "$dir/vel-$runs/$d" "$dir/7z-$runs/$d" >/dev/null || same[$key]=DIFFERENT
  done
  written[$name]="velmora-cli $(find "$dir/vel-$runs" -type f | wc -l), 7z x $(find "$dir/7z-$runs" -type f | wc -l), extract_chmLib $(find "$dir/chmlib-$runs" -type f | wc -l)"
  order+=("$key")
}

load=$(cut -d' ' -f1-3 /proc/loadavg)
started=$SECONDS
progress() { printf '  %3d s  %s ...\n' $((SECONDS - started)) "$1" >&2; }
order=()
echo "Measuring, $runs runs of each command:" >&2
for name in "${chms[@]}"; do
  progress "$name.chm, list"
  list_config "$name" 0
  list_config "$name" 1
done
if [ -n "$tmp_root" ]; then
  for name in "${chms[@]}"; do
    for pin in 0 1; do
      extract_config "$name" tmpfs "$tmp_root" "$pin"
      rm -rf "${tmp_root:?}"/*
    done
  done
fi
if [ -f "$freed_stamp" ] && [ "${VELMORA_BENCH_NO_WAIT:-0}" != 1 ]; then
  wait_s=$(( $(cat "$freed_stamp") + 360 - $(date +%s) ))
  if [ "$wait_s" -gt 0 ]; then
    progress "waiting ${wait_s} s: this script deleted files on $disk_fs less than six minutes ago"
    sleep "$wait_s"
  fi
fi
for name in "${chms[@]}"; do
  for pin in 0 1; do
    extract_config "$name" "$disk_fs" "$disk_root" "$pin"
  done
done

# The window: opening bench.chm until its list is filled.
window_ms=
if [ "${VELMORA_BENCH_WINDOW:-0}" = 1 ]; then
  # The list of targets is read whole: grep -q would stop reading it early,
  # and pipefail would count cmake's broken pipe as a failure.
  targets=$(cmake --build "$build" --target help 2>/dev/null || true)
  if grep -q bench_open_list <<< "$targets"; then
    cmake --build "$build" -j1 --target bench_open_list >&2
    [ "$(id -u)" = 0 ] && export QTWEBENGINE_DISABLE_SANDBOX=1
    progress "bench.chm, opening in the window"
    window_ms=$(QT_QPA_PLATFORM=offscreen VELMORA_BENCH_CHM=$cache/bench.chm TMPDIR=${tmp_root:+$tmpfs_base} \
      "$build/bench_open_list" --benchmark_filter='^BM_OpenAndList' --benchmark_repetitions="$runs" \
      --benchmark_report_aggregates_only=true --benchmark_format=csv 2>/dev/null |
      awk -F, '$1 ~ /^"?BM_OpenAndList/ && $1 !~ /_(mean|stddev|cv)"?$/ { t[$1 ~ /_median"?$/] = $3 }
        END { print ((1 in t) ? t[1] : t[0]) }')  # the median, or the one run when there is one
  else
    echo "Note: no bench_open_list target in $build (it needs the tests and Google Benchmark)." >&2
  fi
fi

elapsed=$((SECONDS - started))

# The table.
cpu_model=$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//')
mem=$(awk '/MemTotal/ { printf "%.1f GiB", $2 / 1048576 }' /proc/meminfo)
commit=$(git -C "$src" rev-parse --short HEAD 2>/dev/null || echo unknown)
echo
echo "Machine: $(nproc) cores, $cpu_model, $mem RAM; $(uname -sr); load average before the runs $load."
echo "velmora-cli: $cli (source at commit $commit); median of $runs runs after a warm-up, $((elapsed / 60)) min $((elapsed % 60)) s in all."
for name in "${chms[@]}"; do
  f=$cache/$name.chm
  items=$("$cli" list "$f" | grep -c '^ *[^ ]' || true)
  echo "- $name.chm: $(stat -c %s "$f") bytes, $((items - 1)) items, $(cat "$cache/$name.bytes") bytes of pages and images uncompressed;" \
    "files written: ${written[$name]:-none}."
done
[ -n "$tmp_root" ] || echo "- no tmpfs: the output went to the disk only."
echo
echo "| CHM | Output to | Cores | Command | Wall time (s) | CPU time (s) | Peak RSS (MiB) | Ratio to fastest peer |"
echo "|---|---|---|---|---:|---:|---:|---:|"
declare -A ratio
row() {  # KEY COMMAND PEER-SECONDS
  local k="$1|$2" w c
  w=$(median <<< "${wall[$k]}")
  c=$(median <<< "${cpu[$k]}")
  ratio[$k]=$(awk -v w="$w" -v p="$3" 'BEGIN { printf "%.2f", w / 1e6 / p }')
  IFS='|' read -r n fs cores <<< "$1"
  awk -v n="$n.chm" -v fs="$fs" -v cores="$cores" -v cmd="$2" -v w="$w" -v c="$c" -v r="${rss[$k]}" -v q="${ratio[$k]}" 'BEGIN {
    printf "| %s | %s | %s | %s | %.3f | %.2f | %.1f | %s |\n", n, fs, cores, cmd, w / 1e6, c, r / 1024, q }'
}
peer() { median <<< "${wall[$1]}" | awk '{ print $1 / 1e6 }'; }
for name in "${chms[@]}"; do
  for pin in 0 1; do
    key="$name|-|$(cores_label "$pin")"
    p=$(peer "$key|7z l")
    row "$key" "velmora-cli list" "$p"
    row "$key" "7z l" "$p"
  done
  for key in "${order[@]}"; do
    [[ $key == "$name|"* ]] || continue
    p=$(awk -v a="$(peer "$key|7z x")" -v b="$(peer "$key|extract_chmLib")" 'BEGIN { print a < b ? a : b }')
    for cmd in "velmora-cli extract" "7z x" "extract_chmLib"; do row "$key" "$cmd" "$p"; done
  done
done

# The targets.
verdict() { awk -v v="$1" -v t="$2" 'BEGIN { print v <= t ? "met" : "MISSED" }'; }
echo
echo "Targets:"
echo
for key in "${order[@]}"; do
  IFS='|' read -r n fs cores <<< "$key"
  t=$([ "$cores" = 2 ] && echo 0.50 || echo 1.00)
  r=${ratio[$key|velmora-cli extract]}
  echo "- extract all, $n.chm, $fs, $cores core(s): ${r}x the fastest peer (target <= ${t}x): $(verdict "$r" "$t")"
done
for name in "${chms[@]}"; do
  for pin in 0 1; do
    key="$name|-|$(cores_label "$pin")"
    r=${ratio[$key|velmora-cli list]}
    echo "- list, $name.chm, $(cores_label "$pin") core(s): ${r}x 7z l (target <= 1.00x): $(verdict "$r" 1)"
  done
done
top=0
for k in "${!rss[@]}"; do
  [[ $k == *velmora-cli* ]] && [ "${rss[$k]}" -gt "$top" ] && top=${rss[$k]}
done
echo "- peak RSS of velmora-cli: $(awk -v k="$top" 'BEGIN { printf "%.1f", k / 1024 }') MiB (target <= 64 MiB): $(verdict "$top" 65536)"
for key in "${order[@]}"; do
  IFS='|' read -r n fs cores <<< "$key"
  echo "- pages and images of velmora-cli and 7z x, $n.chm, $fs, $cores core(s): ${same[$key]}"
done
if [ -n "$window_ms" ]; then
  echo "- window: opening bench.chm until the list is filled: $(printf '%.0f' "$window_ms") ms, median (target < 250 ms): $(verdict "$window_ms" 249.999)"
elif [ "${VELMORA_BENCH_WINDOW:-0}" = 1 ]; then
  echo "- window: not measured"
fi
echo >&2
echo "The output folders on $disk_fs are now deleted in the background (a few minutes); a new run waits for that." >&2
