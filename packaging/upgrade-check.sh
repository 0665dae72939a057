#!/usr/bin/env bash
# An upgrade of the packages as a shop meets it, on a fresh Debian 12 machine, as root: installs
# the OLD package, lets its terminal make a shop's database and ini file in a shop folder (and a
# user's column widths), installs the NEW packages over it, then checks that the program files
# are the new ones, that none of the old ones is left behind, that the shop's files are byte for
# byte as they were, that the new terminal's first start upgrades that database once (keeping a
# copy as it was), and that it renders its windows over it.
#   packaging/upgrade-check.sh OLD.deb NEW.deb...
# For example: shared/tools/fresh-machine.sh 'packaging/upgrade-check.sh old/*.deb dist/*.deb'
set -euo pipefail
if [ $# -lt 2 ]; then
  echo "usage: packaging/upgrade-check.sh OLD.deb NEW.deb..." >&2
  exit 64
fi
old=$(realpath "$1"); shift
new=(); for f in "$@"; do new+=("$(realpath "$f")"); done
export DEBIAN_FRONTEND=noninteractive
apt-get update -q >/dev/null
apt-get install -y -q --no-install-recommends "$old" >/dev/null
echo "installed: $(dpkg-query -W member-terminal)"
old_files=$(dpkg-query -L member-terminal)

shop=/srv/shop
mkdir -p "$shop" ~/.config/member-module
cd "$shop"
member-terminal --members 50 --screenshot w_member_maintain before.png >/dev/null 2>&1
printf '[Site]\nID=1\n; shop 1 of the chain\n' > util/syncclient.ini
printf '[w_member_maintain]\nmemberno=140\n' > ~/.config/member-module/columns.ini
kept=("$shop/member-demo.db" "$shop/util/syncclient.ini" ~/.config/member-module/columns.ini)
sums=$(sha256sum "${kept[@]}")

apt-get install -y -q --no-install-recommends "${new[@]}" >/dev/null
echo "upgraded: $(dpkg-query -W member-terminal libmember-framework1 libmember-framework-dev 2>/dev/null | tr '\t\n' '  ')"
sha256sum -c --quiet <<<"$sums"
echo "the shop's database, ini file and column widths are byte for byte as before"
while read -r f; do
  [ -f "$f" ] || continue
  dpkg-query -S "$f" >/dev/null 2>&1 || { echo "left behind by the old package: $f" >&2; exit 1; }
done <<<"$old_files"
echo "no file of the old package is left behind"

# The new terminal's first start upgrades the shop's database in place, after a copy of it as it
# was; the next start finds nothing to do.
out=$(member-terminal --screenshot w_member_maintain after.png 2>&1)
case "$out" in *created*) echo "the upgraded terminal made a new database: $out" >&2; exit 1 ;; esac
case "$out" in *"upgraded the member module's tables"*) ;;
  *) echo "the new terminal did not upgrade the shop's database: $out" >&2; exit 1 ;; esac
[ -s "$shop/member-demo.db.v2.bak" ] || { echo "no copy of the database as it was: $out" >&2; exit 1; }
again=$(member-terminal --screenshot w_member_maintain again.png 2>&1)
case "$again" in *upgraded*) echo "the second start upgraded again: $again" >&2; exit 1 ;; esac
echo "the new terminal upgraded the shop's database once: $out"
for class in launcher w_member_view; do
  member-terminal --screenshot "$class" "$class.png" >/dev/null 2>&1
done
echo "the upgraded terminal renders its windows over the shop's database: $(ls "$shop"/*.png | tr '\n' ' ')"
