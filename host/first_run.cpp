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

namespace {

int fill_demo(uo_transaction& tr, int members) {
  demo_options opt;
  opt.members = members;
  // Made today: redemptions reach up to today (the report window opens on the current month)
  // and no further, and ages are today's.
  opt.made_on = runtime::today().yyyymmdd();
  return generate_demo_data(tr, opt);
}

}  // namespace

int prepare_demo_database(uo_transaction& tr, int members, std::string& error) {
  const std::string shown = display_url(tr.url());
  const long tables = count_tables(tr);
  if (tables < 0) {
    error = "cannot list the tables of " + shown + ": " + tr.sqlerrtext;
    return -1;
  }
  if (tables > 0) {
    if (schema_exists(tr)) return 0;
    // Someone else's database: write nothing into it.
    error = "the database " + shown +
            " has tables but not the member tables (t_member); use an empty database";
    return -1;
  }
  if (!may_create_schema(tr)) {
    error = "the database " + shown +
            " has no member tables, and this terminal's role may not create them. An "
            "administrator creates them once with\n  member-terminal --create-schema --database "
            "postgresql://ADMIN@HOST/DB\n(see \"Running a shop server\" in the README)";
    return -1;
  }
  if (create_schema(tr) < 0) {
    error = "cannot create the tables in " + shown + ": " + tr.sqlerrtext;
    return -1;
  }
  if (fill_demo(tr, members) < 0) {
    error = "cannot write the demo data: " + tr.sqlerrtext;
    // Leave the database empty again, so that the next start tries afresh.
    drop_schema(tr);
    return -1;
  }
  return 1;
}

int create_shop_schema(uo_transaction& tr, std::optional<int> demo_members, std::string& done,
                       std::string& error) {
  const std::string shown = display_url(tr.url());
  if (create_schema(tr) < 0) {
    error = "cannot create the schema in " + shown + ": " + tr.sqlerrtext;
    return -1;
  }
  done = tr.kind() == backend::postgres
             ? "the member tables and the role " + std::string(terminal_role) +
                   " with its rights are in place in " + shown
             : "the member tables are in place in " + shown;
  if (!demo_members) return 0;
  std::vector<value> into;
  if (tr.select_into("SELECT COUNT(*) FROM t_member", {}, into) != 0 || into.empty()) {
    error = "cannot count the members in " + shown + ": " + tr.sqlerrtext;
    return -1;
  }
  if (into[0].as_long() > 0) {
    done += "; no demo data written: t_member already holds members";
    return 0;
  }
  if (fill_demo(tr, *demo_members) < 0) {
    error = "cannot write the demo data: " + tr.sqlerrtext;
    return -1;
  }
  done += "; " + std::to_string(*demo_members) + " demo members written";
  return 0;
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
