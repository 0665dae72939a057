#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test (SQLite and a throwaway PostgreSQL).
# The reconnect tests restart the PostgreSQL server, so they run alone after the others.
# Then the engine tests run once more under AddressSanitizer and UndefinedBehaviorSanitizer.
# At the end (also after a failure) it prints the time of each phase and the total.
set -euo pipefail
cd "$(dirname "$0")/.."

phases=()
phase() {  # phase NAME COMMAND...: runs the command and notes its time (and a failure)
  local name=$1 start=$SECONDS rc=0
  shift
  "$@" || rc=$?
  phases+=("$(printf '%-16s %s' "$name" "$(minutes $((SECONDS - start)))")$([ $rc -eq 0 ] || echo ' failed')")
  return $rc
}
minutes() { printf '%dm%02ds' $(($1 / 60)) $(($1 % 60)); }
report() {
  echo "Phase times:"
  [ ${#phases[@]} -eq 0 ] || printf '  %s\n' "${phases[@]}"
  printf '  %-16s %s\n' total "$(minutes "$SECONDS")"
}
trap report EXIT

phase packages scripts/deps.sh
phase build scripts/build.sh
phase tests scripts/with-postgres.sh bash -c 'cd build && export QT_QPA_PLATFORM=offscreen &&
  ctest --output-on-failure -j2 -E reconnect && ctest --output-on-failure -R reconnect'
phase "sanitizer build" scripts/sanitize.sh build
phase "sanitizer tests" scripts/sanitize.sh run
