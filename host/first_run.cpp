#include "host/first_run.h"

#include <filesystem>
#include <fstream>
#include <system_error>

#include "framework/db/sqlite_file.h"
#include "framework/db/transaction.h"
#include "framework/module/module_interface.h"
#include "framework/module/module_loader.h"
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

// The loaded modules, or none with error set.
const std::vector<const loaded_module*>* modules_or_error(uo_transaction& tr, std::string& error) {
  if (!loaded_modules().empty()) return &loaded_modules();
  error = "no module is loaded: nothing can create the tables of " + display_url(tr.url());
  return nullptr;
}

// The administrator's step on a shop server, as the terminal names it.
const std::string admin_step =
    "  member-terminal --create-schema --database postgresql://ADMIN@HOST/DB\n"
    "(see \"Running a shop server\" in the README)";

int fill_demo(const loaded_module& m, uo_transaction& tr, int members) {
  // Made today: redemptions reach up to today (the report window opens on the current month)
  // and no further, and ages are today's.
  return m.module->generate_demo_data(tr, members, runtime::today().yyyymmdd());
}

}  // namespace

int prepare_demo_database(uo_transaction& tr, int members, std::string& error,
                          bool file_was_there) {
  const auto* modules = modules_or_error(tr, error);
  if (!modules) return -1;
  const std::string shown = display_url(tr.url());
  const long tables = count_tables(tr);
  if (tables < 0) {
    error = "cannot list the tables of " + shown + ": " + tr.sqlerrtext;
    return -1;
  }
  if (tables > 0) {
    for (const loaded_module* m : *modules) {
      const std::string missing = m->module->missing_table(tr);
      if (missing.empty()) continue;
      // Someone else's database: write nothing into it.
      error = "the database " + shown + " has tables but not those of the " + m->name +
              " module (" + missing + "); use an empty database";
      return -1;
    }
    return 0;
  }
  if (file_was_there && tr.kind() == backend::sqlite) {
    error = "the database file " + sqlite_file_of(tr.url()) +
            " is there but holds no tables; a demo database is made only where no file was. "
            "Move it away for a new demo database, or create the tables in it with\n"
            "  member-terminal --create-schema --database " + shown;
    return -1;
  }
  // A shared server's schema is the administrator's step alone, whatever rights a terminal's
  // role happens to have (an old cluster's public schema lets anyone create tables).
  if (tr.kind() == backend::postgres) {
    error = "the database " + shown +
            " has no member tables. On a shop server a terminal never creates them: an "
            "administrator does, once, with\n" + admin_step;
    return -1;
  }
  for (const loaded_module* m : *modules) {
    if (m->module->create_schema(tr) < 0) {
      error = "cannot create the tables of the " + m->name + " module in " + shown + ": " +
              tr.sqlerrtext;
      return -1;
    }
    if (fill_demo(*m, tr, members) < 0) {
      error = "cannot write the demo data of the " + m->name + " module: " + tr.sqlerrtext;
      // Leave the database empty again, so that the next start tries afresh.
      for (const loaded_module* d : *modules) d->module->drop_schema(tr);
      return -1;
    }
  }
  return 1;
}

start_database_file::start_database_file(uo_transaction& tr, const std::string& url)
    : tr_(tr), path_(sqlite_file_of(url)) {
  std::error_code ec;
  was_there_ = !path_.empty() && std::filesystem::exists(path_, ec);
}

start_database_file::~start_database_file() {
  if (was_there() || (tr_.connected() && count_tables(tr_) != 0)) return;
  tr_.disconnect();
  for (const char* ext : {"", "-wal", "-shm"}) {
    std::error_code ec;
    std::filesystem::remove(path_ + ext, ec);
  }
}

std::string backup_path_for(const std::string& file, int version) {
  const std::string base = file + ".v" + std::to_string(version);
  std::string path = base + ".bak";
  std::error_code ec;
  for (int n = 2; std::filesystem::exists(path, ec); ++n) path = base + "-" + std::to_string(n) + ".bak";
  return path;
}

int bring_schema_up_to_date(uo_transaction& tr, std::string& note, std::string& error) {
  const auto* modules = modules_or_error(tr, error);
  if (!modules) return -1;
  const std::string shown = display_url(tr.url());
  note.clear();
  for (const loaded_module* m : *modules) {
    const int stored = m->module->stored_schema_version(tr);
    const int wanted = m->module->schema_version();
    const std::string versions = " holds version " + std::to_string(stored) + " of the " + m->name +
                                 " module's tables; this program's is " + std::to_string(wanted);
    if (stored < 0) {
      error = "cannot read the version of the " + m->name + " module's tables in " + shown + ": " +
              tr.sqlerrtext;
      return -1;
    }
    if (stored == 0 || stored == wanted) continue;
    if (stored > wanted) {
      error = "the database " + shown + versions +
              ". It was made by a newer release: install that release (nothing was written)";
      return -1;
    }
    if (tr.kind() == backend::postgres) {
      error = "the database " + shown + versions +
              ". An administrator upgrades it first, with\n" + admin_step;
      return -1;
    }
    const std::string copy = backup_path_for(sqlite_file_of(tr.url()), stored);
    if (tr.backup_copy(copy) != 0) {
      error = "the database " + shown + versions + "; no upgrade was tried: " + tr.sqlerrtext;
      return -1;
    }
    // Another terminal starting on the same file may have upgraded it meanwhile. The version is
    // read again under the write lock, which the upgrade keeps until it commits; found done, the
    // spare copy goes and no upgrade is reported. (The copy cannot be made under that lock: a
    // connection writing to its database cannot copy it.)
    if (tr.begin() != 0) {
      error = "the database " + shown + versions + "; no upgrade was tried: " + tr.sqlerrtext;
      return -1;
    }
    if (m->module->stored_schema_version(tr) == wanted) {
      tr.rollback();
      std::error_code ec;
      std::filesystem::remove(copy, ec);
      continue;
    }
    if (m->module->create_schema(tr) < 0) {
      error = "cannot upgrade the " + m->name + " module's tables in " + shown + " from version " +
              std::to_string(stored) + " to " + std::to_string(wanted) +
              " (the database is as it was): " + tr.sqlerrtext;
      return -1;
    }
    if (!note.empty()) note += "\n";
    note += "upgraded the " + m->name + " module's tables from version " + std::to_string(stored) +
            " to " + std::to_string(wanted) + "; the database as it was is in " + copy;
  }
  return 0;
}

int create_shop_schema(uo_transaction& tr, std::optional<int> demo_members, std::string& done,
                       std::string& error) {
  const auto* modules = modules_or_error(tr, error);
  if (!modules) return -1;
  const std::string shown = display_url(tr.url());
  done.clear();
  for (const loaded_module* m : *modules) {
    const int before = m->module->stored_schema_version(tr);
    if (m->module->create_schema(tr) < 0) {
      error = "cannot create the schema of the " + m->name + " module in " + shown + ": " +
              tr.sqlerrtext;
      return -1;
    }
    if (!done.empty()) done += "; ";
    done += m->module->schema_summary(tr) + " are in place in " + shown;
    const int now = m->module->schema_version();
    if (before > 0 && before < now)
      done += " (upgraded from version " + std::to_string(before) + " to " + std::to_string(now) + ")";
    if (!demo_members) continue;
    const int64_t rows = m->module->data_rows(tr);
    if (rows < 0) {
      error = "cannot count the rows of the " + m->name + " module in " + shown + ": " +
              tr.sqlerrtext;
      return -1;
    }
    if (rows > 0) {
      done += "; no demo data written: the " + m->name + " module's tables already hold data";
      continue;
    }
    if (fill_demo(*m, tr, *demo_members) < 0) {
      error = "cannot write the demo data of the " + m->name + " module: " + tr.sqlerrtext;
      return -1;
    }
    done += "; " + std::to_string(*demo_members) + " demo members written";
  }
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
