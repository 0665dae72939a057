#!/usr/bin/env bash
# Builds the Debian packages of debian/ (libmember-framework1, libmember-framework-dev,
# member-terminal) from a clean copy of the source tree, checks them with lintian (no error or
# warning may remain) and prints the path of each .deb, one a line (those of the debug symbols
# are in debug/). Installs the packaging tools and the build dependencies when missing. Progress
# goes to standard error.
#   scripts/package.sh [OUT_DIR]      (default: dist/ in this folder)
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(mkdir -p "${1:-dist}" && cd "${1:-dist}" && pwd)
scripts/deps.sh --package >&2
if ! dpkg-checkbuilddeps >/dev/null 2>&1; then
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO=sudo
  $SUDO apt-get update -q >&2
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get build-dep -y -q --no-install-recommends ./ >&2
fi

# The clean tree: the files git knows (as they are now, untracked ones included unless ignored),
# or everything but build output outside a git checkout.
version=$(dpkg-parsechangelog -S Version)
work=$PWD/build-deb
rm -rf "$work"
src=$work/member-terminal-$version
mkdir -p "$src"
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  git ls-files -z --cached --others --exclude-standard | xargs -0 -r sh -c \
    'for f; do [ -e "$f" ] && printf "%s\0" "$f"; done' sh | tar --null -T - -cf - | tar -xf - -C "$src"
else
  tar --exclude='./build*' --exclude=./dist --exclude=./.git -cf - . | tar -xf - -C "$src"
fi

# Repeated builds compile through ccache when it is there, with the user's cache: debhelper gives
# the build a HOME of its own.
if command -v ccache >/dev/null; then
  PATH=/usr/lib/ccache:$PATH CCACHE_DIR=$(ccache -k cache_dir)
  export PATH CCACHE_DIR
fi
DEB_BUILD_OPTIONS="parallel=$(nproc) ${DEB_BUILD_OPTIONS:-}"
export DEB_BUILD_OPTIONS
(cd "$src" && dpkg-buildpackage -b -us -uc >"$work/build.log" 2>&1) ||
  { tail -n 40 "$work/build.log" >&2; echo "package.sh: the build failed, see $work/build.log" >&2; exit 1; }
changes=$(ls "$work"/*.changes)
lintian --fail-on error,warning "$changes" >&2 ||
  { echo "package.sh: lintian found the faults above" >&2; exit 1; }

# The debug symbols go beside, in debug/, so that ./*.deb are the packages to install.
rm -rf "$out"/*.deb "$out/debug"
mkdir -p "$out/debug"
for f in "$work"/*.deb; do
  case "$f" in *-dbgsym_*) dest=$out/debug ;; *) dest=$out ;; esac
  mv "$f" "$dest/"
  echo "$dest/$(basename "$f")"
done
