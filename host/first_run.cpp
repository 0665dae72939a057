#include "host/first_run.h"

#include <filesystem>
#include <fstream>
#include <system_error>

#include "data/demo_data.h"
#include "data/schema.h"
#include "framework/db/transaction.h"
#include "framework/runtime/runtime.h"

long count_tables(uo_transaction& tr) {
  const char* sql =
      tr.kind() == backend::sqlite
          ? "SELECT count(*) FROM sqlite_master WHERE type = 'table'"
          : "SELECT count(*) FROM information_schema.tables WHERE table_schema = current_schema()";
  std::vector<value> into;
  if (tr.select_into(sql, {}, into) != 0 || into.empty() || !into[0].is_long()) return -1;
  return static_cast<long>(into[0].as_long());
}

int prepare_demo_database(uo_transaction& tr, int members, std::string& error) {
  const long tables = count_tables(tr);
  if (tables < 0) {
    error = "cannot list the tables of " + tr.url() + ": " + tr.sqlerrtext;
    return -1;
  }
  if (tables > 0) {
    if (schema_exists(tr)) return 0;
    // Someone else's database: write nothing into it.
    error = "the database " + tr.url() +
            " has tables but not the member tables (t_member); use an empty database";
    return -1;
  }
  if (create_schema(tr) < 0) {
    error = "cannot create the tables in " + tr.url() + ": " + tr.sqlerrtext;
    return -1;
  }
  demo_options opt;
  opt.members = members;
  // Made today: redemptions reach up to today (the report window opens on the current month)
  // and no further, and ages are today's.
  opt.made_on = runtime::today().yyyymmdd();
  if (generate_demo_data(tr, opt) < 0) {
    error = "cannot write the demo data: " + tr.sqlerrtext;
    // Leave the database empty again, so that the next start tries afresh.
    drop_schema(tr);
    return -1;
  }
  return 1;
}

std::string site_ini_path(const std::string& dir) { return dir + "/util/syncclient.ini"; }

bool ensure_site_ini(const std::string& dir, std::string& error) {
  namespace fs = std::filesystem;
  const fs::path path = site_ini_path(dir);
  std::error_code ec;
  if (fs::exists(path, ec)) return true;
  fs::create_directories(path.parent_path(), ec);
  if (ec) {
    error = "cannot create " + path.parent_path().string() + ": " + ec.message();
    return false;
  }
  std::ofstream out(path);
  out << "[Site]\nID=1\n";
  out.close();
  if (!out) {
    error = "cannot write " + path.string();
    return false;
  }
  return true;
}
