#!/usr/bin/env bash
# Configures (once) and builds Tavrel into build/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="${TAVREL_BUILD_DIR:-$root/build}"
# ccache keeps its own cache folder (CCACHE_DIR or its default), shared between clones.
if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
jobs=$(nproc)
cmake --build "$build" -j "$jobs" "$@"
