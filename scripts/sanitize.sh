#!/usr/bin/env bash
# Builds the engine tests in build-asan/ with AddressSanitizer and UndefinedBehaviorSanitizer
# (any finding stops the test run with an error) and runs them on SQLite and a throwaway
# PostgreSQL. Only the engine test target is built, so the cost stays a few minutes.
#   scripts/sanitize.sh [build | run] [CMAKE ARGUMENTS]   (default: build, then run)
set -euo pipefail
cd "$(dirname "$0")/.."
step=all
case "${1:-}" in build | run) step=$1; shift ;; esac
if [ "$step" != run ]; then
  flags="-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"
  cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-g -O1" \
    -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" \
    -DCMAKE_SHARED_LINKER_FLAGS="-fsanitize=address,undefined" "$@" >/dev/null
  cmake --build build-asan -j"$(nproc)" --target engine_tests
fi
if [ "$step" != build ]; then
  # Leak checking needs ptrace, which containers often refuse; the memory errors and undefined
  # behaviour are what this run is for.
  export ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1
  scripts/with-postgres.sh build-asan/tests/engine_tests
fi
