#pragma once
// Databases as earlier releases laid them out, for upgrade tests: the schema SQL those releases
// installed (kept in tests/data), rows in every table written with their columns, and a dump of
// every row and of the catalog to compare before and after an upgrade.

#include <string>

#include "framework/db/transaction.h"

// Layouts kept in tests/data: the directory, the version the program gives it, and whether it is
// that directory's SQLite layout with t_article_member_level_price still a rowid table (UNIQUE
// (levelid, articleid) and a covering index instead of the WITHOUT ROWID primary key), as the
// first SQLite databases had it.
struct old_layout {
  const char* name;
  const char* dir;
  int version;
  bool level_price_with_rowid = false;
};
inline constexpr old_layout release_1_0_0{"release 1.0.0", "schema_1.0.0", 2};
inline constexpr old_layout before_without_rowid{"before WITHOUT ROWID", "schema_1.0.0", 1, true};

// Runs the layout's SQL for tr's backend and commits; false with the failing statement in
// `error` (a layout kept for SQLite only is not there for PostgreSQL: false, error empty).
bool load_old_layout(uo_transaction& tr, const old_layout& layout, std::string& error);

// Rows in every table of the old layout, through its own columns, with the values that are
// easiest to lose: 64-bit ids, exact decimals, Chinese text, nulls. False with error.
bool fill_old_rows(uo_transaction& tr, std::string& error);

// Every row of the old layout's tables and columns, as text, in key order.
std::string dump_old_rows(uo_transaction& tr);

// Tables, columns, constraints, indexes, triggers and table rights of the database's schema.
std::string dump_catalog(uo_transaction& tr);
