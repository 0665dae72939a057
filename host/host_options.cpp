#include "host/host_options.h"

#include <charconv>
#include <filesystem>

namespace {

template <class T>
bool parse_int(const std::string& s, T& out) {
  auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
  return ec == std::errc() && p == s.data() + s.size();
}

}  // namespace

std::optional<host_options> parse_host_options(const std::vector<std::string>& args,
                                               std::string& error) {
  host_options o;
  auto need = [&](size_t i, int count, const std::string& opt) {
    if (i + count < args.size()) return true;
    error = opt + " needs " + (count == 1 ? "a value" : std::to_string(count) + " values");
    return false;
  };
  // The option's one value, which may not be empty; `what` says what it must be.
  auto text_value = [&](size_t& i, const std::string& opt, const char* what, std::string& out) {
    if (!need(i, 1, opt)) return false;
    out = args[++i];
    if (!out.empty()) return true;
    error = opt + " needs " + what;
    return false;
  };
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--help" || a == "-h") {
      o.help = true;
    } else if (a == "--create-schema") {
      o.create_schema = true;
    } else if (a == "--demo-data") {
      o.demo_data = true;
    } else if (a == "--database") {
      if (!text_value(i, a, "a URL (sqlite:FILE or postgresql://...)", o.database_url))
        return std::nullopt;
    } else if (a == "--modules") {
      if (!text_value(i, a, "a folder", o.module_dir)) return std::nullopt;
    } else if (a == "--members") {
      if (!need(i, 1, a)) return std::nullopt;
      if (!parse_int(args[++i], o.members) || o.members < 10 || o.members > 1000000) {
        error = "--members needs a whole number from 10 to 1000000, not '" + args[i] + "'";
        return std::nullopt;
      }
    } else if (a == "--screenshot") {
      if (!need(i, 2, a)) return std::nullopt;
      o.screenshot_class = args[++i];
      o.screenshot_file = args[++i];
      if (o.screenshot_class.empty() || o.screenshot_file.empty()) {
        error = "--screenshot needs a window class and a file name";
        return std::nullopt;
      }
    } else if (a == "--parm") {
      if (!need(i, 1, a)) return std::nullopt;
      int64_t v = 0;
      if (!parse_int(args[++i], v)) {
        error = "--parm needs a whole number, not '" + args[i] + "'";
        return std::nullopt;
      }
      o.parm = v;
    } else if (a == "--text") {
      if (!need(i, 1, a)) return std::nullopt;
      o.text = args[++i];
    } else {
      error = "unknown option '" + a + "' (see --help)";
      return std::nullopt;
    }
  }
  if (o.demo_data && !o.create_schema) {
    error = "--demo-data goes with --create-schema";
    return std::nullopt;
  }
  if (o.create_schema && o.screenshot()) {
    error = "--create-schema and --screenshot cannot be used together";
    return std::nullopt;
  }
  if (o.parm && o.text) {
    error = "--parm and --text cannot be used together";
    return std::nullopt;
  }
  if ((o.parm || o.text) && !o.screenshot()) {
    error = std::string(o.parm ? "--parm" : "--text") + " goes with --screenshot";
    return std::nullopt;
  }
  return o;
}

std::string host_usage() {
  return
      "Usage: member-terminal [--database URL] [--members N] [--modules DIR]\n"
      "       member-terminal [--database URL] [--modules DIR]\n"
      "                       --screenshot CLASS FILE [--parm N | --text S]\n"
      "       member-terminal --database ADMIN-URL [--modules DIR]\n"
      "                       --create-schema [--demo-data [--members N]]\n"
      "\n"
      "Demo terminal of the member module: loads the modules of its module folder and offers a\n"
      "launcher that opens their windows by class name over one database.\n"
      "\n"
      "  --database URL   sqlite:FILE or postgresql://user@host:port/dbname, with libpq's\n"
      "                   parameters (sslmode=verify-full&sslrootcert=FILE, several hosts with\n"
      "                   target_session_attrs=read-write, service=NAME); a password is better\n"
      "                   kept in ~/.pgpass (PGPASSFILE) or a service file than on the command\n"
      "                   line, where it is masked at start-up\n"
      "                   (default: sqlite:member-demo.db in the current directory)\n"
      "  --modules DIR    the folder of the module plugins (default: the installed one, or\n"
      "                   the build tree's for a program run from its build tree)\n"
      "  --members N      members in a newly created demo database (10..1000000, default 200)\n"
      "  --screenshot CLASS FILE\n"
      "                   open the window CLASS (or 'launcher') without a display, save it as a\n"
      "                   PNG in FILE and exit; dialogs are rendered once they are open\n"
      "  --parm N         the number the window is opened with (e.g. a memberid)\n"
      "  --text S         the text the window is opened with (w_choose_member's search text)\n"
      "  --create-schema  create the modules' tables and, on PostgreSQL, the role member_terminal\n"
      "                   with the rights of a terminal (connect as an administrator), then exit\n"
      "  --demo-data      with --create-schema: write demo data into an empty member table\n"
      "  --help           this text\n"
      "\n"
      "A database without tables gets the schema and demo data when the role may create tables\n"
      "(a terminal's role may not: use --create-schema); util/syncclient.ini ([Site] ID=1) is\n"
      "created below the current directory when missing.\n"
      "Without a display run it under Xvfb (xvfb-run member-terminal) or use --screenshot.\n";
}

std::string default_module_dir(const std::string& app_dir) {
  namespace fs = std::filesystem;
  std::error_code ec;
  if (fs::equivalent(app_dir, MEMBER_BUILD_HOST_DIR, ec)) return MEMBER_BUILD_MODULE_DIR;
  return (fs::path(app_dir) / ".." / MEMBER_INSTALLED_MODULE_DIR).lexically_normal().string();
}

std::string default_database_url(const std::string& dir) {
  return "sqlite:" + dir + "/member-demo.db";
}
