#!/usr/bin/env bash
# Installs what is missing, builds, and runs the demo terminal on the embedded database
# (created with demo data on first run). Extra arguments go to member-terminal.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh
exec build/host/member-terminal "$@"
