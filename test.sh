#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test (the window test
# programs twice: offscreen and on Xvfb with Qt's xcb platform), then builds
# and checks the Debian package. Afterwards builds the Qt-free layers with
# AddressSanitizer and UndefinedBehaviorSanitizer and runs their tests again,
# runs the copying threads' tests under ThreadSanitizer, and fuzzes the CHM
# reader for a minute (tests/fuzz/fuzz.sh, when clang is installed). Exits
# non-zero on any failure. docs/testing.md lists the steps and their times.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh

jobs=$(nproc 2>/dev/null || echo 2)
export QT_QPA_PLATFORM=offscreen
[ "$(id -u)" -eq 0 ] && export QTWEBENGINE_DISABLE_SANDBOX=1
export QTWEBENGINE_CHROMIUM_FLAGS="${QTWEBENGINE_CHROMIUM_FLAGS:-} --disable-gpu"

# libmspack's source for the ThreadSanitizer and fuzz builds below is
# fetched while the main build runs: it waits on the network, not the CPU.
fetch=$(mktemp -d)
trap 'rm -rf "$fetch"' EXIT
tests/fuzz/fetch-libmspack-source.sh >"$fetch/source" 2>"$fetch/log" &
fetch_pid=$!

# Line tables only (-g1): enough for backtraces and sanitizer reports, and
# a third less to compile and link than full debug information.
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMORA_BUILD_TESTS=ON \
  "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O2 -g1 -DNDEBUG"
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure -j"$jobs"

# The Debian package: built from this build and checked like a user's
# machine would meet it.
tests/packaging/check-package.sh build

cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVELMORA_ENGINE_ONLY=ON -DVELMORA_SANITIZE=ON \
  -DCMAKE_CXX_FLAGS_DEBUG=-g1
cmake --build build-sanitize -j"$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-sanitize --output-on-failure -j"$jobs" -LE slow

# The copying threads under ThreadSanitizer: the extraction and output
# folder tests, with libmspack instrumented too when its source can be had
# (the readers of one file share its header). The source is kept in the
# user's cache folder, where the fuzz run below finds it again.
if wait "$fetch_pid"; then
  tsan_mspack=$(cat "$fetch/source")
else
  cat "$fetch/log" >&2
  tsan_mspack=""
fi
cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVELMORA_ENGINE_ONLY=ON -DVELMORA_TSAN=ON \
  -DCMAKE_CXX_FLAGS_DEBUG=-g1 "-DVELMORA_TSAN_MSPACK_SOURCE=$tsan_mspack"
cmake --build build-tsan -j"$jobs" --target test_engine
TSAN_OPTIONS=halt_on_error=1 build-tsan/test_engine \
  --gtest_filter='*ParallelCopy*:*SharedFolders*:*StagedFile*:*DiskFileWriter*:*cCHMParser*'

# The CHM reader's fuzz target: regression inputs, then 60 s from a fixed seed.
if command -v clang++-14 >/dev/null 2>&1; then
  tests/fuzz/fuzz.sh 60
else
  echo "clang++-14 is not installed: fuzz run skipped"
fi
