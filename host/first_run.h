#pragma once
// First run of the demo terminal: a database without tables gets the schema and demo data, and
// the shop's ini file (util/syncclient.ini, [Site] ID=1) is written when it is missing.

#include <string>

class uo_transaction;

// Number of tables in the connection's database (its current schema on PostgreSQL); -1 on error.
long count_tables(uo_transaction& tr);

// Creates the schema and `members` demo members when the database has no tables.
// Answers 1 when it created them, 0 when tables were already there, -1 on failure (error set;
// nothing half-written is left committed).
int prepare_demo_database(uo_transaction& tr, int members, std::string& error);

// Path of the shop's ini file below dir.
std::string site_ini_path(const std::string& dir);
// Writes dir/util/syncclient.ini with [Site] ID=1 unless the file exists. false with error set
// when it cannot be written.
bool ensure_site_ini(const std::string& dir, std::string& error);
