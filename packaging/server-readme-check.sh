#!/usr/bin/env bash
# The README's "Setting up a shop server, step by step" as a new administrator meets it: on a
# fresh Debian 12 machine, as root, with both servers on this machine (db1 and db2 in
# /etc/hosts, the standby's cluster on port 5433), every block run as it stands and in order,
# through the failover of steps 8 and 9. Then checks the outcome: the servers have swapped roles
# and replicate synchronously over TLS, plain text is refused, a terminal's write on the URL of
# both servers is answered at once and reaches the standby, and the terminal renders its
# windows over the new primary.
#   packaging/server-readme-check.sh DIST_DIR     (where scripts/package.sh put the packages)
# For example: shared/tools/fresh-machine.sh 'scripts/package.sh && packaging/server-readme-check.sh dist'
set -euo pipefail
readme=$(realpath "$(dirname "$0")/../README.md")
dist=$(realpath "$1")
work=$(mktemp -d)

# The README's shell blocks of that section; after its first block (the variables) come the
# values of a trial on one machine, as the README gives them.
awk '/^## Setting up a shop server/ { on = 1; next }
     /^## / { on = 0 }
     on && /^```sh$/ { code = 1; next }
     on && /^```$/ { if (code && !done++) print "STANDBY_PORT=5433 STANDBY_CLUSTER=standby"; code = 0; next }
     on && code' "$readme" > "$work/steps.sh"
grep -q 'pg_basebackup' "$work/steps.sh" || { echo "no steps found in $readme" >&2; exit 1; }
# Both servers listen on this machine's ports: they must be free, and the servers go when the
# check ends (a chroot's servers would outlive it).
if (exec 3<>/dev/tcp/127.0.0.1/5432) 2>/dev/null || (exec 3<>/dev/tcp/127.0.0.1/5433) 2>/dev/null; then
  echo "ports 5432 and 5433 must be free for the trial's two servers" >&2
  exit 1
fi
trap 'for c in main standby; do pg_ctlcluster 15 $c stop -m immediate 2>/dev/null || true; done' EXIT
grep -qs "^127.0.0.1 db1 db2" /etc/hosts || echo '127.0.0.1 db1 db2' >> /etc/hosts

cd "$dist"
echo "... running the README's steps ($(grep -c . "$work/steps.sh") lines; log: $work/steps.log)"
if ! bash -euo pipefail -x "$work/steps.sh" > "$work/steps.log" 2>&1; then
  tail -n 30 "$work/steps.log" >&2
  echo "a step of the README failed" >&2
  exit 1
fi
[ -s "$dist/launcher.png" ] || { echo "step 7 rendered no launcher" >&2; exit 1; }

fail() { echo "$*" >&2; exit 1; }
export PGSSLMODE=verify-full PGSSLROOTCERT=/etc/member-shop/ca.crt
till() { timeout 15 psql "postgresql://till1@$1/shop" -XAtq -c "$2"; }
as_postgres() { runuser -u postgres -- psql -p "$1" -XAt -c "$2"; }

[ "$(till db2:5433 'SELECT pg_is_in_recovery()')" = f ] || fail "db2 is not the primary after step 8"
[ "$(till db1:5432 'SELECT pg_is_in_recovery()')" = t ] || fail "db1 is not a standby after step 9"
[ "$(as_postgres 5433 "SELECT application_name || ' ' || state || ' ' || sync_state
                       FROM pg_stat_replication")" = "db1 streaming quorum" ] ||
  fail "db1 does not replicate synchronously from db2"
[ "$(as_postgres 5433 'SELECT ssl FROM pg_stat_ssl JOIN pg_stat_replication USING (pid)')" = t ] ||
  fail "the standby does not replicate over TLS"
echo "db2 is the primary, db1 its synchronous standby over TLS"

PGSSLMODE=disable timeout 15 psql "postgresql://till1@db2:5433/shop" -c 'SELECT 1' 2>/dev/null &&
  fail "a plain text connection was let in"
PGSSLMODE=verify-full PGSSLROOTCERT=/etc/ssl/certs/ca-certificates.crt \
  timeout 15 psql "postgresql://till1@db2:5433/shop" -c 'SELECT 1' 2>/dev/null &&
  fail "a server without the shop's certificate was trusted"
echo "plain text and an unknown server certificate are refused"

url="postgresql://till1@db1:5432,db2:5433/shop?target_session_attrs=read-write"
till db2:5433 "INSERT INTO t_member (memberid, memberno, membername) VALUES (900, '900900', 'check')" ||
  fail "a terminal's write was not answered within 15 s"
sleep 1
[ "$(till db1:5432 "SELECT membername FROM t_member WHERE memberid = 900")" = check ] ||
  fail "the write did not reach the standby"
till db2:5433 "DELETE FROM t_member WHERE memberid = 900"
for window in launcher w_member_maintain; do
  member-terminal --database "$url" --screenshot "$window" "$work/$window.png" >/dev/null ||
    fail "the terminal could not render $window over the new primary"
done
echo "a terminal's write is answered and on the standby; the terminal renders its windows ($work)"
