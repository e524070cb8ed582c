#!/usr/bin/env bash
# Sets up, builds and runs every test headless; exits non-zero on any failure.
#   --sanitize  builds into build-sanitize/ (a folder of its own) with
#               AddressSanitizer and UndefinedBehaviorSanitizer and runs the
#               whole suite there; any sanitizer report fails its test.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
sanitize=0
for arg in "$@"; do
  case "$arg" in
    --sanitize) sanitize=1 ;;
    *) echo "usage: scripts/test.sh [--sanitize]" >&2; exit 2 ;;
  esac
done
"$root/scripts/setup.sh"
if [ "$sanitize" = 1 ]; then
  export TAVREL_BUILD_DIR="${TAVREL_BUILD_DIR:-$root/build-sanitize}"
  flags="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
  if [ ! -f "$TAVREL_BUILD_DIR/build.ninja" ]; then
    cmake -S "$root" -B "$TAVREL_BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DTAVREL_BUILD_BENCH=OFF \
      -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" \
      -DCMAKE_EXE_LINKER_FLAGS="$flags" -DCMAKE_SHARED_LINKER_FLAGS="$flags"
  fi
  # A report ends the program with a failure, in the tests and in every
  # program they start (tavrel, tavrel-dbtool).
  export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:exitcode=99}"
  export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1:exitcode=99}"
fi
"$root/scripts/build.sh"
build="${TAVREL_BUILD_DIR:-$root/build}"
export QT_QPA_PLATFORM=offscreen
cd "$build"
ctest --output-on-failure -j "$(nproc)" --timeout 600
