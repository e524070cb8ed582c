#!/usr/bin/env bash
# Sets up, builds and runs every test headless; exits non-zero on any failure.
#   --sanitize  builds into build-sanitize/ (a folder of its own) with
#               AddressSanitizer and UndefinedBehaviorSanitizer and runs the
#               whole suite there; any sanitizer report fails its test.
#   --sanitize-parsers
#               the bounded run CI makes after the whole suite: only the
#               parsers of text from outside (Jet SQL, XML, mail, web orders:
#               the platform and exchange libraries and their two test
#               programs) are compiled with the sanitizers, into
#               build-sanitize-parsers/; everything else is compiled as in
#               build/ and so comes from ccache. Runs the parsers' tests.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
sanitize=0
parsers=0
for arg in "$@"; do
  case "$arg" in
    --sanitize) sanitize=1 ;;
    --sanitize-parsers) parsers=1 ;;
    *) echo "usage: scripts/test.sh [--sanitize | --sanitize-parsers]" >&2; exit 2 ;;
  esac
done
"$root/scripts/setup.sh"
if [ "$sanitize" = 1 ] || [ "$parsers" = 1 ]; then
  # A report ends the program with a failure, in the tests and in every
  # program they start.
  export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:exitcode=99}"
  export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1:exitcode=99}"
fi
if [ "$parsers" = 1 ]; then
  flags="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
  export TAVREL_BUILD_DIR="${TAVREL_BUILD_DIR:-$root/build-sanitize-parsers}"
  if [ ! -f "$TAVREL_BUILD_DIR/build.ninja" ]; then
    # The same configuration as build/ (scripts/build.sh), so that what is
    # not instrumented compiles to the same objects.
    cmake -S "$root" -B "$TAVREL_BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=Release \
      "-DTAVREL_SANITIZE_TARGETS=tavrel_platform;tavrel_exchange;test_platform;test_exchange" \
      -DCMAKE_EXE_LINKER_FLAGS="$flags" -DCMAKE_SHARED_LINKER_FLAGS="$flags"
  fi
  "$root/scripts/build.sh" --target test_platform test_exchange
  export QT_QPA_PLATFORM=offscreen
  cd "$TAVREL_BUILD_DIR"
  ctest --output-on-failure -j "$(nproc)" --timeout 600 \
    -R '(^|/)(Jet[A-Za-z]*|QueryLimitsTest|DeepStatements|SqliteRefusals|WebOrdersTest|XmlReaderTest|MailboxTest|OutgoingMailTest)\.'
  exit
fi
if [ "$sanitize" = 1 ]; then
  export TAVREL_BUILD_DIR="${TAVREL_BUILD_DIR:-$root/build-sanitize}"
  flags="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
  if [ ! -f "$TAVREL_BUILD_DIR/build.ninja" ]; then
    cmake -S "$root" -B "$TAVREL_BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DTAVREL_BUILD_BENCH=OFF \
      -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" \
      -DCMAKE_EXE_LINKER_FLAGS="$flags" -DCMAKE_SHARED_LINKER_FLAGS="$flags"
  fi
fi
"$root/scripts/build.sh"
build="${TAVREL_BUILD_DIR:-$root/build}"
export QT_QPA_PLATFORM=offscreen
cd "$build"
ctest --output-on-failure -j "$(nproc)" --timeout 600
