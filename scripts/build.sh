#!/usr/bin/env bash
# Configures and builds into build/ (Release with debug info): every target, or only those named
# with --target; the other arguments go to the configuration.
#   scripts/build.sh [--target NAME]... [CMAKE ARGUMENTS]
set -euo pipefail
cd "$(dirname "$0")/.."
configure=()
targets=()
while [ $# -gt 0 ]; do
  if [ "$1" = --target ] && [ $# -ge 2 ]; then targets+=(--target "$2"); shift 2
  else configure+=("$1"); shift; fi
done
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo "${configure[@]}" >/dev/null
cmake --build build -j"$(nproc)" "${targets[@]}"
