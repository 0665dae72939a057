#pragma once
// A module's database layout declared once: tables with their columns (type, size, null, key,
// default, check, what a terminal may write, the version each came in), indexes and other
// objects. The DDL of each backend, the grants of the module's terminal role (PostgreSQL) and the
// steps that bring every older layout up to date in place are all derived from it. The version of
// the layout a database holds is kept in t_schema_version, one row per module.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "framework/db/transaction.h"

enum class column_kind {
  integer,   // BIGINT
  text,      // VARCHAR(size)
  decimal,   // NUMERIC(size, scale) in PostgreSQL, REAL(size, scale) in SQLite (read exactly)
  datetime,  // TIMESTAMP(0) in PostgreSQL, DATETIME text in SQLite
};

// What the terminal role may do: with a whole table, or (insert, update) with one column.
enum terminal_right : unsigned {
  may_select = 1,
  may_insert = 2,
  may_update = 4,
  may_delete = 8,
};

// Text that differs between the backends; an empty one means "nothing on that backend".
struct per_backend {
  std::string sqlite, postgres;
  per_backend() = default;
  per_backend(const char* both) : sqlite(both), postgres(both) {}
  per_backend(const char* on_sqlite, const char* on_postgres)
      : sqlite(on_sqlite), postgres(on_postgres) {}
  const std::string& on(backend kind) const { return kind == backend::postgres ? postgres : sqlite; }
};

struct column_decl {
  std::string name;
  column_kind kind = column_kind::integer;
  int size = 0;   // text length or decimal precision (0: none declared)
  int scale = 0;  // decimal places
  bool required = false;  // NOT NULL
  bool key = false;       // the table's primary key, alone
  bool unique = false;
  std::string check;      // a CHECK condition on the column
  per_backend default_value;
  unsigned terminal = 0;  // may_insert | may_update: granted on this column alone
  int since = 1;          // the layout version that added the column
  int check_since = 1;    // the version that added its check (or unique) to an existing column
};

struct table_decl {
  std::string name;
  std::vector<column_decl> columns;  // new columns go last: an upgrade appends them
  per_backend constraints;           // table constraints (a composite key) after the columns
  bool sqlite_without_rowid = false;
  unsigned terminal = 0;    // may_* on the whole table
  int since = 1;            // the version that added the table
  int layout_since = 1;     // the version whose constraints or storage a SQLite rebuild brings
  bool only_on_sqlite = false;  // a table standing in for what PostgreSQL has built in
};

// An index, trigger, function or sequence: run again on every set-up, so it is written to be
// repeatable (IF NOT EXISTS, OR REPLACE).
struct object_decl {
  per_backend sql;
};

struct schema_decl {
  std::string module;         // its row in t_schema_version
  int version = 1;            // the layout this build makes
  std::vector<table_decl> tables;   // in creation order
  std::vector<object_decl> objects;  // after the tables
  // PostgreSQL: the group role of the module's terminals and the statements that make it and set
  // its rights beyond the tables' (run before the tables' grants).
  std::string terminal_role;
  std::vector<std::string> postgres_role_setup;
  // Statements that bring the layout of version N - 1 to version N beyond what the declaration
  // gives (a dropped index, data to move), run before the derived changes.
  std::function<std::vector<std::string>(int from_version, backend kind)> extra_steps;
  // The version of a database the module's tables are in but that stores none (layouts from
  // before versions were stored); -1 with tr's sqlerrtext on error.
  std::function<int(uo_transaction& tr)> unversioned_layout;
};

// The column as DDL of one backend ("mdintegral BIGINT CHECK (mdintegral >= 0)").
std::string column_ddl(const column_decl& c, backend kind);
// CREATE TABLE IF NOT EXISTS for one backend (named `as` instead when given).
std::string create_table_ddl(const table_decl& t, backend kind, std::string_view as = {});
// The columns of a table a program writes when it fills it (the declared ones, in order).
std::vector<std::string> column_names(const table_decl& t);
const table_decl& find_table(const schema_decl& s, std::string_view name);

// The statements that create the whole layout on a new database, in order (what is written out
// as plain SQL for an administrator): tables, objects, the version row, on PostgreSQL the role
// and its rights.
std::vector<std::string> create_statements(const schema_decl& s, backend kind);

// The layout version the database holds: 0 when none of the module's tables is there, -1 with
// tr's sqlerrtext on error.
int stored_version(const schema_decl& s, uo_transaction& tr);

// Called before each statement of an upgrade (a progress report; tests stop the process there).
using upgrade_observer = std::function<void(std::string_view statement)>;

// Creates what is missing and upgrades an older layout to s.version, in one transaction (the
// caller's, when one is open) that is committed at the end or rolled back whole. A newer layout than s.version is refused and nothing
// is written. On PostgreSQL the terminal role's rights are set afresh. 0, or -1 with tr's
// sqlerrtext naming the statement that failed.
int upgrade_schema(const schema_decl& s, uo_transaction& tr, const upgrade_observer& observe = {});

// Runs statements as one unit and commits; on failure rolls back, and sqlerrtext names the
// statement. 0 or -1.
int run_statements(uo_transaction& tr, const std::vector<std::string>& statements,
                   const upgrade_observer& observe = {});
