#!/usr/bin/env bash
# End-to-end run of the demo terminal on a real X server.
#   run.sh MEMBER_TERMINAL TERMINAL_E2E
# Starts Xvfb (on a free display) and openbox, then
#  1. the member-terminal executable in an empty folder, as `xvfb-run scripts/demo.sh` runs it:
#     its launcher must appear with a new demo database, and a key press on the focused first
#     button must open 会员维护;
#  2. terminal_e2e: the host's launcher on a fresh demo database, every window opened by
#     clicking, members edited and saved, an award redeemed, a list exported and printed to PDF,
#     the database read by the sqlite3 tool after each step.
# Every wait has a limit. Exits 77 (skipped) only when Xvfb is not installed.
set -euo pipefail
terminal=$(realpath "$1")
e2e=$(realpath "$2")
if ! command -v Xvfb >/dev/null; then
  echo "e2e: skipped: Xvfb is not installed (scripts/deps.sh installs it)"
  exit 77
fi
for tool in openbox xdotool xprop sqlite3; do
  command -v "$tool" >/dev/null ||
    { echo "e2e: $tool is missing (scripts/deps.sh installs it)" >&2; exit 1; }
done

work=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# Xvfb picks a free display and writes its number to fd 3 once it accepts clients.
Xvfb -displayfd 3 -screen 0 1600x1000x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { echo "e2e: Xvfb did not start" >&2; cat "$work/xvfb.log" >&2; exit 1; }
export DISPLAY=":$(head -1 "$work/display")"
unset QT_QPA_PLATFORM WAYLAND_DISPLAY
openbox >"$work/wm.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && break
  sleep 0.1
done
echo "e2e: X server on $DISPLAY"

# 1. The executable, first start in an empty folder.
mkdir "$work/demo"
(cd "$work/demo" && exec "$terminal" --members 20) >"$work/terminal.log" 2>&1 &
tpid=$!
pids+=($tpid)
fail() { echo "e2e: $*" >&2; cat "$work/terminal.log" >&2; exit 1; }
wid=$(timeout 30 xdotool search --sync --name '^会员模块 演示终端$' | head -1) ||
  fail "the launcher window did not appear"
members=$(sqlite3 "$work/demo/member-demo.db" "SELECT count(*) FROM t_member")
[ "$members" = 20 ] || fail "the demo database holds $members members, not 20"
timeout 10 xdotool windowactivate --sync "$wid" || fail "the launcher was not activated"
xdotool key space
timeout 30 xdotool search --sync --name '^会员维护$' >/dev/null ||
  fail "会员维护 did not open"
kill "$tpid"
echo "e2e: member-terminal started, created the demo database and opened 会员维护"

# 2. The day at the terminal.
timeout 180 "$e2e"
