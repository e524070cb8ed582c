#!/usr/bin/env bash
# Configures (once) and builds Tavrel into build/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="${TAVREL_BUILD_DIR:-$root/build}"
export CCACHE_DIR="${CCACHE_DIR:-$root/.ccache}"
if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
jobs=$(nproc)
cmake --build "$build" -j "$jobs" "$@"
