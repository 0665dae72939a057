#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test (SQLite and a throwaway PostgreSQL).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh
scripts/with-postgres.sh bash -c 'cd build && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2'
