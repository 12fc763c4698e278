#!/usr/bin/env bash
# Measures the full-text index: building it from nothing over the shared real
# corpus plus bench.chm and api.chm (time, peak RSS, index size against the
# size of the page text), then the fixed queries of bench/search-queries.txt
# answered from the index (median of several runs, in-process), against
# `grep -rlF` over the same files extracted by 7-Zip (the user's
# alternative), also the median. Prints a markdown table and the targets,
# met or MISSED.
#
# Usage: bench/run-search-benchmark.sh [BUILD_DIR]     (default: build)
#
# Environment:
#   VELMORA_BENCH_RUNS=N     runs of each query (default 5)
#   VELMORA_CORPUS=DIR       the real corpus (default ../shared/corpus/real
#                            beside the checkout)
#   VELMORA_BENCH_CORPUS_ONLY=1  the real corpus without bench.chm and api.chm
#                            (a quick look, not the figures)
set -euo pipefail

src=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${1:-$src/build}")
runs=${VELMORA_BENCH_RUNS:-5}
corpus=${VELMORA_CORPUS:-$src/../shared/corpus/real}
[[ $runs =~ ^[1-9][0-9]*$ ]] || { echo "VELMORA_BENCH_RUNS must be a positive number" >&2; exit 2; }
for tool in 7z grep; do
  command -v "$tool" >/dev/null || { echo "missing $tool: run scripts/install-deps.sh" >&2; exit 1; }
done

[ -f "$build/CMakeCache.txt" ] || cmake -S "$src" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2 --target search_benchmark velmora-cli >&2
chms=("$corpus"/*.chm)
if [ "${VELMORA_BENCH_CORPUS_ONLY:-0}" != 1 ]; then
  # bench.chm and api.chm, made (once) by the other benchmark.
  VELMORA_BENCH_FILES_ONLY=1 "$src/bench/run-benchmark.sh" "$build"
  chms+=("$build/bench/bench.chm" "$build/bench/api.chm")
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
echo "Building the index and running the queries ..." >&2
"$build/search_benchmark" "$work/index.sqlite" "$src/bench/search-queries.txt" "$runs" "${chms[@]}" > "$work/figures"

echo "Extracting the files with 7-Zip for grep ..." >&2
for i in "${!chms[@]}"; do 7z x -y -o"$work/tree/$i" "${chms[$i]}" >/dev/null 2>&1 || true; done

# grep's median time in ms for one query (each blank-separated term in turn,
# as the index needs them all; a quoted query is one phrase).
grep_ms() {
  local query=$1 times=() run start end
  local -a terms
  if [[ $query == \"*\" ]]; then terms=("${query:1:${#query}-2}"); else read -ra terms <<< "$query"; fi
  for ((run = 0; run < runs; run++)); do
    start=$(date +%s%N)
    for term in "${terms[@]}"; do grep -rlF -- "$term" "$work/tree" >/dev/null || true; done
    end=$(date +%s%N)
    times+=($(((end - start) / 1000)))
  done
  printf '%s\n' "${times[@]}" | sort -n | awk '{ v[NR] = $1 } END { printf "%.1f", v[int((NR + 1) / 2)] / 1000 }'
}

value() { awk -v k="$1" '$1 == k { print $2 }' "$work/figures"; }
cores=$(nproc)
cpu=$(awk -F': ' '/model name/ { print $2; exit }' /proc/cpuinfo)
echo
echo "Machine: $cpu, $cores cores; load average $(cut -d' ' -f1-3 /proc/loadavg)"
echo
echo "| figure | value |"
echo "|---|---|"
printf '| files, pages | %d, %d |\n' "${#chms[@]}" "$(value pages)"
printf '| building from nothing | %.1f s (%.1f s of processor time) |\n' "$(value build_s)" "$(value build_cpu_s)"
printf '| peak RSS | %d MiB |\n' $(($(value peak_rss_kib) / 1024))
printf '| page text | %.1f MiB |\n' "$(awk -v b="$(value text_bytes)" 'BEGIN { print b / 1048576 }')"
printf '| index file | %.1f MiB (%.2f× the page text) |\n' \
  "$(awk -v b="$(value index_bytes)" 'BEGIN { print b / 1048576 }')" \
  "$(awk -v i="$(value index_bytes)" -v t="$(value text_bytes)" 'BEGIN { print i / t }')"
echo
echo "| query | hits | index ms | processor ms | grep -rlF ms | ratio |"
echo "|---|---|---|---|---|---|"
long=() short=() long_cpu=() short_cpu=() ratios=()
while read -r _ ms cpu hits query; do
  g=$(grep_ms "$query")
  ratio=$(awk -v a="$ms" -v b="$g" 'BEGIN { printf "%.3f", (b > 0 ? a / b : 0) }')
  printf '| %s | %d | %.1f | %.1f | %s | %s |\n' "$query" "$hits" "$ms" "$cpu" "$g" "$ratio"
  ratios+=("$ratio")
  # One or two CJK characters (three bytes each) against the rest.
  if [ "$(printf '%s' "$query" | wc -c)" -le 6 ] && printf '%s' "$query" | grep -qP '^[^\x00-\x7F]+$'; then
    short+=("$ms") short_cpu+=("$cpu")
  else
    long+=("$ms") long_cpu+=("$cpu")
  fi
done < <(grep '^query ' "$work/figures")

median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
verdict() { awk -v v="$1" -v t="$2" 'BEGIN { print v <= t ? "met" : "MISSED" }'; }
echo
echo "Targets:"
echo "- building under 60 s: $(verdict "$(value build_s)" 60)"
echo "- peak RSS under 300 MiB: $(verdict "$(value peak_rss_kib)" $((300 * 1024)))"
echo "- index at most twice the page text: $(verdict "$(awk -v i="$(value index_bytes)" -v t="$(value text_bytes)" 'BEGIN { print i / t }')" 2)"
echo "- median of queries of three or more characters under 50 ms: $(median "${long[@]}") ms, $(verdict "$(median "${long[@]}")" 50) (processor time $(median "${long_cpu[@]}") ms)"
echo "- median of one- and two-character CJK queries under 300 ms: $(median "${short[@]}") ms, $(verdict "$(median "${short[@]}")" 300) (processor time $(median "${short_cpu[@]}") ms)"
echo "- median ratio to grep at most 0.2: $(median "${ratios[@]}"), $(verdict "$(median "${ratios[@]}")" 0.2)"
