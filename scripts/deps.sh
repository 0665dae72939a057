#!/usr/bin/env bash
# Installs the Debian packages the build, the demo and the tests need, when any is missing.
#   scripts/deps.sh              build, demo and tests
#   scripts/deps.sh --bench      and the benchmarks
#   scripts/deps.sh --package    the tools that build and check the Debian packages (their build
#                                dependencies come from debian/control: scripts/package.sh)
set -euo pipefail
need=(build-essential cmake pkg-config git ca-certificates libsqlite3-dev libpq-dev postgresql
      qt6-base-dev qt6-translations-l10n libgl-dev libgtest-dev libgmock-dev fonts-arphic-uming
      fontconfig poppler-utils sqlite3 xvfb xauth xdotool x11-utils openbox openssl)
case "${1:-}" in
  --bench) need+=(libbenchmark-dev libqt6sql6-sqlite) ;;
  --package) need=(dpkg-dev debhelper lintian) ;;
esac
missing=()
for p in "${need[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO=sudo
  $SUDO apt-get update -q
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
