#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test (SQLite and a throwaway PostgreSQL).
# The reconnect tests restart the PostgreSQL server, so they run alone after the others.
# Then the engine tests run once more under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh
scripts/with-postgres.sh bash -c 'cd build && export QT_QPA_PLATFORM=offscreen &&
  ctest --output-on-failure -j2 -E reconnect && ctest --output-on-failure -R reconnect'
scripts/sanitize.sh
