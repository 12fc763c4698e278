#!/usr/bin/env bash
# Builds the CHM reader's fuzz target with clang in its own build folder,
# replays the checked-in regression inputs, then fuzzes for SECONDS (default
# 60) with one worker. Exits non-zero on any crash, sanitizer report, leak,
# timeout (2 s per input) or out-of-memory (1 GiB).
#
#   tests/fuzz/fuzz.sh [SECONDS] [more libFuzzer options]
#
# Environment:
#   VELMORA_FUZZ_BUILD   build folder (default build-fuzz)
#   VELMORA_FUZZ_SEED    libFuzzer's random seed (default 1, so a run can be
#                        repeated)
#   VELMORA_FUZZ_CORPUS  a folder that keeps the inputs found across runs;
#                        without it every run starts afresh from the seeds
#
# Seeds: the compiled fixtures and crafted files made by the build, the
# regression inputs, and the small files (up to 64 KiB) of the shared corpus
# beside the checkout when it is there (read in place, never copied into the
# project). Failing inputs are written to BUILD/fuzz-artifacts; minimise one
# with `BUILD/velmora-fuzz-chm -minimize_crash=1 -runs=10000 FILE` and add it
# to tests/fuzz/regression.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
cd "$root"
seconds=${1:-60}
shift || true
build=${VELMORA_FUZZ_BUILD:-build-fuzz}
seed=${VELMORA_FUZZ_SEED:-1}
fuzz_dir=tests/fuzz

for tool in clang-14 clang++-14; do
  command -v "$tool" >/dev/null || { echo "fuzz: $tool is not installed" >&2; exit 1; }
done

# libmspack instrumented from its source when the source can be had.
mspack_source=$("$fuzz_dir/fetch-libmspack-source.sh") || {
  echo "fuzz: libmspack's source is not available; linking the system's uninstrumented libmspack" >&2
  mspack_source=""
}

CC=clang-14 CXX=clang++-14 cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 \
  -DVELMORA_ENGINE_ONLY=ON -DVELMORA_FUZZ=ON "-DVELMORA_FUZZ_MSPACK_SOURCE=$mspack_source" >/dev/null
cmake --build "$build" -j"$(nproc 2>/dev/null || echo 2)" --target velmora-fuzz-chm

target="$build/velmora-fuzz-chm"
artifacts="$build/fuzz-artifacts"
mkdir -p "$artifacts"
# The target's temporary folders go below one removed at the end (also
# what a crashed input leaves); tmpfs spares the disk.
base=${TMPDIR:-/tmp}
if [ -z "${TMPDIR:-}" ] && [ -d /dev/shm ] && [ -w /dev/shm ]; then base=/dev/shm; fi
work=$(mktemp -d -p "$base" velmora-fuzz-run.XXXXXX)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/tmp"
export TMPDIR="$work/tmp"
export ASAN_OPTIONS="detect_leaks=1:allocator_may_return_null=0${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:suppressions=$root/$fuzz_dir/ubsan-suppressions.txt"
limits=(-timeout=2 -rss_limit_mb=1024 -malloc_limit_mb=1024 "-artifact_prefix=$artifacts/")

# Every input that ever failed, once each.
regression=("$fuzz_dir"/regression/*.chm)
if [ -e "${regression[0]}" ]; then
  echo "fuzz: replaying ${#regression[@]} regression inputs"
  "$target" "${limits[@]}" "${regression[@]}"
fi

corpus=${VELMORA_FUZZ_CORPUS:-$work/corpus}
mkdir -p "$corpus" "$work/seeds"
cp "$build"/fuzz-seeds/*.chm "$work/seeds/"
[ -e "${regression[0]}" ] && cp "${regression[@]}" "$work/seeds/"
shared="$root/../shared/corpus"
if [ -d "$shared" ]; then
  find "$shared" -type f -name '*.chm' -size -65537c -exec cp {} "$work/seeds/" \;
fi

echo "fuzz: ${seconds} s, seed ${seed}, $(ls "$work/seeds" | wc -l) seed files"
"$target" "${limits[@]}" -seed="$seed" -max_total_time="$seconds" -max_len=65536 -print_final_stats=1 \
  "$@" "$corpus" "$work/seeds"
