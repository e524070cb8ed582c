#!/usr/bin/env bash
# Configures (once) and builds Tavrel into build/; TAVREL_JOBS bounds the build jobs
# (all processors by default) on a machine shared with other builds.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="${TAVREL_BUILD_DIR:-$root/build}"
# ccache keeps its own cache folder (CCACHE_DIR or its default), shared between
# clones: paths are hashed relative to the clone so another clone hits it too.
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$root}"
export CCACHE_NOHASHDIR="${CCACHE_NOHASHDIR:-1}"
# Precompiled headers are cacheable only with these relaxations.
export CCACHE_SLOPPINESS="${CCACHE_SLOPPINESS:-pch_defines,time_macros,include_file_mtime,include_file_ctime}"
if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release
fi
jobs=${TAVREL_JOBS:-$(nproc)}
cmake --build "$build" -j "$jobs" "$@"
