// DDL, grants and in-place upgrades derived from a declared layout.
//
// An upgrade is one transaction. PostgreSQL alters tables in place (ADD COLUMN, ADD CONSTRAINT).
// SQLite cannot add a constraint to a table, so a table whose declaration changed after the
// stored version is rebuilt the documented way: a new table of the new layout, the rows copied
// over column by column, the old table dropped and the new one renamed; its indexes and triggers
// are then made again from the declaration.
#include "framework/db/declared_schema.h"

#include <algorithm>
#include <stdexcept>

namespace {

// Where the version of each module's layout is kept; terminals read it.
const table_decl version_table = {
    .name = "t_schema_version",
    .columns = {{.name = "module", .kind = column_kind::text, .size = 40, .required = true, .key = true},
                {.name = "version", .kind = column_kind::integer, .required = true}},
    .terminal = may_select,
};

// Administrators' set-ups of the shop server take turns: two at once would change the same
// catalog rows and one would fail with "tuple concurrently updated".
const char* const postgres_setup_lock = "SELECT pg_advisory_xact_lock(7361402)";

std::string type_ddl(const column_decl& c, backend kind) {
  const bool pg = kind == backend::postgres;
  const auto digits = [&] {
    return c.size ? "(" + std::to_string(c.size) + "," + std::to_string(c.scale) + ")" : std::string();
  };
  switch (c.kind) {
    case column_kind::integer: return "BIGINT";
    case column_kind::text: return "VARCHAR(" + std::to_string(c.size) + ")";
    case column_kind::decimal: return (pg ? "NUMERIC" : "REAL") + digits();
    case column_kind::datetime: return pg ? "TIMESTAMP(0)" : "DATETIME";
  }
  return {};
}

std::string joined(const std::vector<std::string>& names) {
  std::string s;
  for (const std::string& n : names) s += (s.empty() ? "" : ", ") + n;
  return s;
}

bool on_backend(const table_decl& t, backend kind) {
  return !t.only_on_sqlite || kind == backend::sqlite;
}

// The module's tables and the version table, as the backend has them.
std::vector<const table_decl*> tables_of(const schema_decl& s, backend kind) {
  std::vector<const table_decl*> out{&version_table};
  for (const table_decl& t : s.tables)
    if (on_backend(t, kind)) out.push_back(&t);
  return out;
}

// The version the table's SQLite storage last changed in (a rebuild brings it).
int sqlite_changed_in(const table_decl& t) {
  int v = std::max(t.since, t.layout_since);
  for (const column_decl& c : t.columns) v = std::max({v, c.since, c.check_since});
  return v;
}

// Answers the single value of a query (null without a row); false with sqlerrtext on error.
bool scalar(uo_transaction& tr, const std::string& sql, std::vector<value> params, value& out) {
  std::vector<value> into;
  const int rc = tr.select_into(sql, params, into);
  if (rc < 0) return false;
  out = into.empty() ? value() : into[0];
  return true;
}

// 1 when the table is there, 0 when not, -1 on error.
int table_exists(uo_transaction& tr, const std::string& name) {
  const char* sql = tr.kind() == backend::postgres
                        ? "SELECT COUNT(*) FROM information_schema.tables "
                          "WHERE table_schema = current_schema() AND table_name = :t"
                        : "SELECT COUNT(*) FROM sqlite_master WHERE type = 'table' AND name = :t";
  value n;
  if (!scalar(tr, sql, {value(name)}, n)) return -1;
  return n.is_long() && n.as_long() > 0 ? 1 : 0;
}

// The columns a SQLite table has now.
bool sqlite_columns(uo_transaction& tr, const std::string& table, std::vector<std::string>& out) {
  struct names : row_sink {
    std::vector<std::string>& out;
    explicit names(std::vector<std::string>& o) : out(o) {}
    bool on_row(const db_row& row) override {
      out.emplace_back(row.get_text(0));
      return true;
    }
  } sink(out);
  return tr.query("SELECT name FROM pragma_table_info(:t)", {std::vector<value>{value(table)}}, sink) >= 0;
}

// Rolls the unit back, keeping the SQLCA of what failed. -1.
int roll_back(uo_transaction& tr) {
  const sqlca_state failed(tr);
  tr.rollback();
  failed.restore(tr);
  return -1;
}

int fail(uo_transaction& tr, const std::string& why) {
  tr.sqlcode = -1;
  tr.sqlerrtext = why;
  return -1;
}

// SQLite: the statements that rebuild a table in the declared layout, keeping every row.
int sqlite_rebuild(const table_decl& t, uo_transaction& tr, std::vector<std::string>& out) {
  std::vector<std::string> old;
  if (!sqlite_columns(tr, t.name, old)) return -1;
  std::vector<std::string> kept;
  for (const std::string& name : old) {
    const auto& cols = t.columns;
    if (std::none_of(cols.begin(), cols.end(), [&](const column_decl& c) { return c.name == name; }))
      return fail(tr, "the column " + name + " of " + t.name +
                          " is not in this release's layout: upgrading would lose it");
    kept.push_back(name);
  }
  const std::string fresh = t.name + "_upgraded";
  out.push_back(create_table_ddl(t, backend::sqlite, fresh));
  out.push_back("INSERT INTO " + fresh + " (" + joined(kept) + ") SELECT " + joined(kept) +
                " FROM " + t.name);
  out.push_back("DROP TABLE " + t.name);
  out.push_back("ALTER TABLE " + fresh + " RENAME TO " + t.name);
  return 0;
}

// PostgreSQL: what an older table lacks, added in place.
void postgres_alter(const table_decl& t, int from, std::vector<std::string>& out) {
  for (const column_decl& c : t.columns) {
    if (c.since > from) {
      out.push_back("ALTER TABLE " + t.name + " ADD COLUMN IF NOT EXISTS " +
                    column_ddl(c, backend::postgres));
    } else if (c.check_since > from) {
      // PostgreSQL's own names for a column's constraints, so that a layout made fresh and one
      // upgraded are the same.
      const std::string prefix = "ALTER TABLE " + t.name + " DROP CONSTRAINT IF EXISTS " + t.name +
                                 "_" + c.name;
      if (!c.check.empty())
        out.push_back(prefix + "_check, ADD CONSTRAINT " + t.name + "_" + c.name + "_check CHECK (" +
                      c.check + ")");
      if (c.unique)
        out.push_back(prefix + "_key, ADD CONSTRAINT " + t.name + "_" + c.name + "_key UNIQUE (" +
                      c.name + ")");
    }
  }
}

// The terminal role's rights on the tables, set afresh: revoked, then granted.
std::vector<std::string> table_rights(const schema_decl& s) {
  std::vector<std::string> out;
  std::vector<std::string> all;
  for (const table_decl* t : tables_of(s, backend::postgres)) all.push_back(t->name);
  out.push_back("REVOKE ALL ON " + joined(all) + " FROM " + s.terminal_role);
  static const std::pair<unsigned, const char*> words[] = {
      {may_select, "SELECT"}, {may_insert, "INSERT"}, {may_update, "UPDATE"}, {may_delete, "DELETE"}};
  for (const table_decl* t : tables_of(s, backend::postgres)) {
    std::vector<std::string> rights;
    for (auto [bit, word] : words)
      if (t->terminal & bit) rights.push_back(word);
    if (!rights.empty())
      out.push_back("GRANT " + joined(rights) + " ON " + t->name + " TO " + s.terminal_role);
    for (auto [bit, word] : {words[1], words[2]}) {
      std::vector<std::string> cols;
      for (const column_decl& c : t->columns)
        if (c.terminal & bit) cols.push_back(c.name);
      if (!cols.empty())
        out.push_back(std::string("GRANT ") + word + " (" + joined(cols) + ") ON " + t->name +
                      " TO " + s.terminal_role);
    }
  }
  return out;
}

std::string version_row_sql() {
  return "INSERT INTO t_schema_version (module, version) VALUES (:module, :version) "
         "ON CONFLICT (module) DO UPDATE SET version = excluded.version";
}

// Rows an older layout let in that a check the upgrade adds would refuse: the upgrade stops and
// names them, rather than failing on a statement the shop cannot read.
int refused_rows(const table_decl& t, int from, uo_transaction& tr) {
  for (const column_decl& c : t.columns) {
    if (c.check.empty() || c.check_since <= from || c.since > from) continue;
    value n;
    if (!scalar(tr, "SELECT COUNT(*) FROM " + t.name + " WHERE NOT (" + c.check + ")", {}, n))
      return -1;
    if (n.is_long() && n.as_long() > 0)
      return fail(tr, std::to_string(n.as_long()) + " rows of " + t.name + " break the rule " +
                          c.check + " of this release; correct them and start again (nothing "
                          "was changed)");
  }
  return 0;
}

// What brings the database from version `from` (0: nothing there) to s.version, in order.
int upgrade_statements(const schema_decl& s, int from, uo_transaction& tr,
                       std::vector<std::string>& out) {
  const backend kind = tr.kind();
  for (const table_decl* t : tables_of(s, kind)) {
    const int there = table_exists(tr, t->name);
    if (there < 0) return -1;
    if (!there) {
      out.push_back(create_table_ddl(*t, kind));
    } else if (refused_rows(*t, from, tr) < 0) {
      return -1;
    } else if (kind == backend::postgres) {
      postgres_alter(*t, from, out);
    } else if (sqlite_changed_in(*t) > from && sqlite_rebuild(*t, tr, out) < 0) {
      return -1;
    }
  }
  for (const object_decl& o : s.objects)
    if (!o.sql.on(kind).empty()) out.push_back(o.sql.on(kind));
  if (kind == backend::postgres) {
    out.insert(out.end(), s.postgres_role_setup.begin(), s.postgres_role_setup.end());
    const auto rights = table_rights(s);
    out.insert(out.end(), rights.begin(), rights.end());
  }
  return 0;
}

// Runs statements inside the open unit; on failure rolls it back, and sqlerrtext names the
// statement.
int run_in_unit(uo_transaction& tr, const std::vector<std::string>& statements,
                const upgrade_observer& observe) {
  for (const std::string& sql : statements) {
    if (observe) observe(sql);
    if (tr.execute(sql) < 0) {
      roll_back(tr);
      tr.sqlerrtext = "schema statement failed: " + sql.substr(0, sql.find('\n')) + ": " +
                      tr.sqlerrtext;
      return -1;
    }
  }
  return 0;
}

}  // namespace

std::string column_ddl(const column_decl& c, backend kind) {
  std::string d = c.name + " " + type_ddl(c, kind);
  // SQLite would let a null into a key that is not declared NOT NULL.
  if (c.required && !(c.key && kind == backend::postgres)) d += " NOT NULL";
  if (c.key) d += " PRIMARY KEY";
  if (!c.default_value.on(kind).empty()) d += " DEFAULT " + c.default_value.on(kind);
  if (!c.check.empty()) d += " CHECK (" + c.check + ")";
  if (c.unique) d += " UNIQUE";
  return d;
}

std::string create_table_ddl(const table_decl& t, backend kind, std::string_view as) {
  std::string d = "CREATE TABLE IF NOT EXISTS " + (as.empty() ? t.name : std::string(as)) + " (";
  for (size_t i = 0; i < t.columns.size(); ++i)
    d += (i ? ",\n  " : "\n  ") + column_ddl(t.columns[i], kind);
  if (!t.constraints.on(kind).empty()) d += ",\n  " + t.constraints.on(kind);
  d += ")";
  if (t.sqlite_without_rowid && kind == backend::sqlite) d += " WITHOUT ROWID";
  return d;
}

std::vector<std::string> column_names(const table_decl& t) {
  std::vector<std::string> names;
  for (const column_decl& c : t.columns) names.push_back(c.name);
  return names;
}

const table_decl& find_table(const schema_decl& s, std::string_view name) {
  for (const table_decl& t : s.tables)
    if (t.name == name) return t;
  throw std::logic_error("no table " + std::string(name) + " is declared");
}

std::vector<std::string> create_statements(const schema_decl& s, backend kind) {
  std::vector<std::string> out;
  if (kind == backend::postgres) out.push_back(postgres_setup_lock);
  for (const table_decl* t : tables_of(s, kind)) out.push_back(create_table_ddl(*t, kind));
  for (const object_decl& o : s.objects)
    if (!o.sql.on(kind).empty()) out.push_back(o.sql.on(kind));
  out.push_back("INSERT INTO t_schema_version (module, version) VALUES ('" + s.module + "', " +
                std::to_string(s.version) + ") ON CONFLICT (module) DO NOTHING");
  if (kind == backend::postgres) {
    out.insert(out.end(), s.postgres_role_setup.begin(), s.postgres_role_setup.end());
    const auto rights = table_rights(s);
    out.insert(out.end(), rights.begin(), rights.end());
  }
  return out;
}

int stored_version(const schema_decl& s, uo_transaction& tr) {
  const int has_versions = table_exists(tr, version_table.name);
  if (has_versions < 0) return -1;
  if (has_versions) {
    value v;
    if (!scalar(tr, "SELECT version FROM t_schema_version WHERE module = :m", {value(s.module)}, v))
      return -1;
    if (v.is_long()) return static_cast<int>(v.as_long());
  }
  // No version stored: a layout from before versions were, or nothing of the module yet.
  for (const table_decl& t : s.tables) {
    if (!on_backend(t, tr.kind())) continue;
    const int there = table_exists(tr, t.name);
    if (there < 0) return -1;
    if (there) return s.unversioned_layout ? s.unversioned_layout(tr) : 1;
  }
  return 0;
}

int run_statements(uo_transaction& tr, const std::vector<std::string>& statements,
                   const upgrade_observer& observe) {
  if (!tr.in_transaction() && tr.begin() != 0) return -1;
  return run_in_unit(tr, statements, observe) == 0 && tr.commit() == 0 ? 0 : -1;
}

int upgrade_schema(const schema_decl& s, uo_transaction& tr, const upgrade_observer& observe) {
  // The version is read inside the unit: a second set-up at once waits (SQLite's write lock,
  // PostgreSQL's advisory lock) and then finds the upgrade done. A unit the caller opened to read
  // the version under that lock is the upgrade's own.
  if (!tr.in_transaction() && tr.begin() != 0) return -1;
  if (tr.kind() == backend::postgres && tr.execute(postgres_setup_lock) < 0) return roll_back(tr);
  const int from = stored_version(s, tr);
  if (from < 0) return roll_back(tr);
  if (from > s.version) {
    fail(tr, "the database holds version " + std::to_string(from) + " of the " + s.module +
                 " module's tables, newer than this program's " + std::to_string(s.version) +
                 "; nothing was written: use the release that made it, or a newer one");
    return roll_back(tr);
  }
  std::vector<std::string> statements;
  if (upgrade_statements(s, from, tr, statements) < 0) return roll_back(tr);
  if (run_in_unit(tr, statements, observe) < 0) return -1;
  if (from != s.version) {
    if (observe) observe(version_row_sql());
    const value row[] = {value(s.module), value(int64_t(s.version))};
    if (tr.execute(version_row_sql(), row) < 0) return roll_back(tr);
  }
  return tr.commit() == 0 ? 0 : -1;
}
