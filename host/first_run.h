#pragma once
// First run of the demo terminal: an embedded database without tables gets the schema and demo
// data of the loaded modules (a SQLite file only when this start made it; a PostgreSQL server's
// schema is the administrator's step), and the shop's ini file (util/syncclient.ini, [Site] ID=1)
// is written when it is missing. The administrator's step, --create-schema, lives here too.

#include <optional>
#include <string>

class uo_transaction;

// Number of tables in the connection's database (its current schema on PostgreSQL); -1 on error.
long count_tables(uo_transaction& tr);

// Creates the loaded modules' schema and `members` demo members when the database has no tables.
// Answers 1 when it created them, 0 when the modules' tables were already there, -1 on failure
// (error set; nothing half-written is left committed; no module loaded is a failure too). On
// PostgreSQL it creates nothing: the error says that the schema is missing and how an
// administrator makes it. Nor is a SQLite file that was there before this start filled
// (file_was_there): a register file emptied or cut to nothing under a terminal is not silently
// replaced by demo members.
int prepare_demo_database(uo_transaction& tr, int members, std::string& error,
                          bool file_was_there = false);

// The SQLite file a start of the terminal connects to, looked at before the connection creates
// it. A file this start made and that holds no tables when the start ends (it failed, or no
// module made the tables) is removed again, so that the next start makes it afresh.
class start_database_file {
 public:
  start_database_file(uo_transaction& tr, const std::string& url);
  ~start_database_file();
  start_database_file(const start_database_file&) = delete;
  start_database_file& operator=(const start_database_file&) = delete;
  bool was_there() const { return path_.empty() || was_there_; }

 private:
  uo_transaction& tr_;
  std::string path_;  // empty: not a SQLite file
  bool was_there_ = false;
};

// Brings the loaded modules' tables in a database that has them to this build's layout, or
// refuses to go on. A SQLite file (one terminal's own) of an older layout is upgraded in place, in
// one transaction, after a copy of it is made beside it with SQLite's online backup; `note` says
// so. On PostgreSQL an older layout is the administrator's step, which the error names. A newer
// layout than the program's is refused on both, nothing written. 0, or -1 with error set.
int bring_schema_up_to_date(uo_transaction& tr, std::string& note, std::string& error);

// Where a SQLite file's copy from before an upgrade from `version` goes: beside it, never over an
// earlier copy.
std::string backup_path_for(const std::string& file, int version);

// The administrator's step: creates what is missing of the loaded modules' schema and upgrades
// an older layout in place (on PostgreSQL with the role member_terminal and its rights), then, when demo_members is given, the demo data
// of each module whose tables are empty. 0 with `done` saying what was done; -1 with error set.
int create_shop_schema(uo_transaction& tr, std::optional<int> demo_members, std::string& done,
                       std::string& error);

// Path of the shop's ini file below dir.
std::string site_ini_path(const std::string& dir);
// Writes dir/util/syncclient.ini with [Site] ID=1 unless the file exists. false with error set
// when it cannot be written.
bool ensure_site_ini(const std::string& dir, std::string& error);
