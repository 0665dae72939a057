#!/usr/bin/env bash
# Renders the launcher and every window the terminal offers to docs/screenshots/*.png, headless,
# over a fresh demo database (made in a temporary folder). Builds first when needed.
# Extra arguments go to member-terminal (e.g. --database URL); MEMBER_TERMINAL names another
# build of it.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
terminal=${MEMBER_TERMINAL:-$root/build/host/member-terminal}
[ -x "$terminal" ] || scripts/build.sh
out="$root/docs/screenshots"
mkdir -p "$out"
work=$(mktemp -d /tmp/member-shots.XXXXXX)
trap 'rm -rf "$work"' EXIT
cd "$work"

shot() {  # shot CLASS [--parm N | --text S]
  local class=$1; shift
  if "$terminal" "$@" --screenshot "$class" "$out/$class.png" "${extra[@]}" \
       >/dev/null 2>"$work/err"; then
    echo "docs/screenshots/$class.png"
  else
    echo "$class: not rendered: $(tail -n 1 "$work/err")" >&2
  fi
}

extra=("$@")
shot launcher
for class in w_member_maintain w_member_view w_member_price_query w_member_award \
             w_member_award_method w_member_award_record; do
  shot "$class"
done
shot w_member_info --parm 1
shot w_member_award_control --parm 1
shot w_member_sale_sum --parm 24   # a demo member with bills
shot w_choose_member --text 0000
