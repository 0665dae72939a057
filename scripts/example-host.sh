#!/usr/bin/env bash
# Builds the example host (examples/choose_member) against the INSTALLED tree of a build, as a
# third party would, and runs it offscreen on a fresh SQLite database: the member-number search
# "000007" has one match, so the dialog answers memberid 7 without a user. The README quotes the
# example's files: they must stand there as they are.
#   scripts/example-host.sh BUILD_DIR
set -euo pipefail
if [ $# -ne 1 ] || [ ! -d "$1" ]; then
  echo "usage: scripts/example-host.sh BUILD_DIR   (a configured and built build tree)" >&2
  exit 64
fi
build=$(cd "$1" && pwd)
src=$(cd "$(dirname "$0")/.." && pwd)
readme=$(cat "$src/README.md")
for f in CMakeLists.txt main.cpp; do
  [[ "$readme" == *"$(cat "$src/examples/choose_member/$f")"* ]] ||
    { echo "README.md does not quote examples/choose_member/$f as it is" >&2; exit 1; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cmake --install "$build" --prefix "$work/prefix" >/dev/null
cmake -S "$src/examples/choose_member" -B "$work/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_PREFIX_PATH="$work/prefix" >/dev/null
cmake --build "$work/build" >/dev/null
cd "$work"
answer=$(QT_QPA_PLATFORM=offscreen "$work/build/choose_member" "$work/shop.db" 000007)
echo "choose_member answered memberid $answer"
[ "$answer" = 7 ]
[ -f "$work/util/syncclient.ini" ] || { echo "choose_member wrote no util/syncclient.ini" >&2; exit 1; }
