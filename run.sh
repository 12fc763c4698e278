#!/usr/bin/env bash
# Installs what is missing, builds, and starts Velmora with the given arguments.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc 2>/dev/null || echo 2)" --target velmora velmora-cli
[ "$(id -u)" -eq 0 ] && export QTWEBENGINE_DISABLE_SANDBOX=1
if [ -x build/velmora ]; then
  exec build/velmora "$@"
fi
exec build/velmora-cli --help
