#!/usr/bin/env bash
# Installs what is missing, builds the terminal and its module (not the tests), and runs the demo
# terminal on the embedded database (created with demo data on first run). Extra arguments go to
# member-terminal. Without a display it renders the launcher and the member register headless
# into build/demo/ and says where they are.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh --target member-terminal
if [ $# -eq 0 ] && [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  mkdir -p build/demo
  for class in launcher w_member_maintain; do
    build/host/member-terminal --screenshot "$class" "build/demo/$class.png" >/dev/null \
      2>"build/demo/$class.log" || { cat "build/demo/$class.log" >&2; exit 1; }
  done
  echo "No display: the demo's windows were rendered headless to"
  echo "  $PWD/build/demo/launcher.png"
  echo "  $PWD/build/demo/w_member_maintain.png"
  echo "To work in the windows, run scripts/demo.sh where there is a display (a desktop, ssh -X)."
  exit 0
fi
exec build/host/member-terminal "$@"
