#pragma once
// Command line of member-terminal: which database, and whether to render one window to a PNG
// instead of running the launcher.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct host_options {
  std::string database_url;       // "" = the demo database in the current directory
  int members = 200;              // size of a newly created demo database
  std::string module_dir;         // "" = the module folder beside the program (see below)
  bool help = false;
  bool create_schema = false;     // --create-schema: the administrator's step, then exit
  bool demo_data = false;         // --demo-data: with --create-schema, fill an empty register
  // --screenshot CLASS FILE [--parm N | --text S]
  std::string screenshot_class;
  std::string screenshot_file;
  std::optional<int64_t> parm;
  std::optional<std::string> text;

  bool screenshot() const { return !screenshot_class.empty(); }
};

// Parses the arguments after the program name. On a mistake answers nullopt with error set.
std::optional<host_options> parse_host_options(const std::vector<std::string>& args,
                                               std::string& error);

// The --help text.
std::string host_usage();

// The module folder of a program in app_dir: the build tree's when the program is the one built
// there, otherwise the installed one (lib/member-terminal/modules beside the program's bin/).
std::string default_module_dir(const std::string& app_dir);

// URL of the demo database: "sqlite:" + dir + "/member-demo.db".
std::string default_database_url(const std::string& dir);
