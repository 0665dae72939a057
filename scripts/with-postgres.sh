#!/usr/bin/env bash
# Runs a command with a throwaway PostgreSQL cluster on a private port, started as the postgres
# user and stopped afterwards. The command sees MEMBER_TEST_PG_URL (the administrator) and
# MEMBER_TEST_PG_TERMINAL_URL (a login member of the terminals' role member_terminal), and
# MEMBER_PG_SPARE_PORTS: two more ports (MEMBER_PG_PORT + 10 and + 20 unless set) for the tests
# that start clusters of their own (a standby, a server with TLS).
set -euo pipefail
bindir=$(ls -d /usr/lib/postgresql/*/bin | sort -V | tail -n 1)
port=${MEMBER_PG_PORT:-55432}
dir=$(mktemp -d /tmp/member-pg.XXXXXX)
chown postgres "$dir" 2>/dev/null || true
as_pg() { if [ "$(id -u)" -eq 0 ]; then runuser -u postgres -- "$@"; else "$@"; fi; }
as_pg "$bindir/initdb" -D "$dir/data" -U postgres -A trust -E UTF8 --locale=C.UTF-8 >"$dir/initdb.log"
as_pg "$bindir/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w \
  -o "-p $port -k $dir -c listen_addresses=127.0.0.1 -c fsync=off -c max_connections=200" start >/dev/null
stop() { as_pg "$bindir/pg_ctl" -D "$dir/data" -m fast -w stop >/dev/null 2>&1 || true; rm -rf "$dir"; }
trap stop EXIT
as_pg "$bindir/psql" -qAt -h "$dir" -p "$port" -U postgres -d postgres -v ON_ERROR_STOP=1 \
  -c "CREATE ROLE member_terminal NOLOGIN" -c "CREATE ROLE member_test_terminal LOGIN IN ROLE member_terminal" >/dev/null
export MEMBER_TEST_PG_URL="postgresql://postgres@127.0.0.1:$port/postgres"
export MEMBER_TEST_PG_TERMINAL_URL="postgresql://member_test_terminal@127.0.0.1:$port/postgres"
export MEMBER_PG_SPARE_PORTS="${MEMBER_PG_SPARE_PORTS:-$((port + 10)) $((port + 20))}"
export MEMBER_PG_BINDIR="$bindir" MEMBER_PG_DATADIR="$dir/data" MEMBER_PG_SOCKDIR="$dir" MEMBER_PG_PORT="$port"
"$@"
