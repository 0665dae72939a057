// choose_member: a host of the member module built against the installed framework. Opens a
// SQLite database (a new one gets the module's tables and demo members), writes the shop number
// the member lists read (util/syncclient.ini below the current folder) when it is missing, loads
// the modules of the installed module folder, opens w_choose_member with a search text and prints
// the memberid it answers (0 when nothing was chosen).
//   choose_member DATABASE_FILE SEARCH_TEXT [MODULE_DIR]

#include <QApplication>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

#include "framework/db/transaction.h"
#include "framework/module/module_interface.h"
#include "framework/module/module_loader.h"
#include "framework/runtime/runtime.h"
#include "framework/ui/install_ui.h"
#include "framework/ui/window_registry.h"

int main(int argc, char** argv) {
  if (argc < 3) {
    std::cerr << "usage: choose_member DATABASE_FILE SEARCH_TEXT [MODULE_DIR]\n";
    return 64;
  }
  QApplication app(argc, argv);
  install_ui();

  const std::string module_dir = argc > 3 ? argv[3] : MEMBER_MODULE_DIR;
  for (const module_failure& f : load_modules(module_dir)) {
    std::cerr << "module not loaded: " << f.text() << "\n";
  }
  if (!window_available("w_choose_member")) {
    std::cerr << "no module in " << module_dir << " offers w_choose_member\n";
    return 1;
  }

  if (sqlca.connect(std::string("sqlite:") + argv[1]) != 0) {
    std::cerr << "cannot open " << argv[1] << ": " << sqlca.sqlerrtext << "\n";
    return 1;
  }
  // A new database gets each module's tables and demo members; a shop's own is used as it is.
  for (const loaded_module* m : loaded_modules()) {
    if (m->module->missing_table(sqlca).empty()) continue;
    if (m->module->create_schema(sqlca) != 0 ||
        m->module->generate_demo_data(sqlca, 50, runtime::today().yyyymmdd()) != 0) {
      std::cerr << "cannot set up the " << m->name << " module's tables: " << sqlca.sqlerrtext << "\n";
      return 1;
    }
  }

  // The member lists (w_member_maintain, w_member_view) show the members of the shop whose number
  // is [Site] ID in util/syncclient.ini below the current folder.
  if (!std::filesystem::exists("util/syncclient.ini")) {
    std::filesystem::create_directories("util");
    std::ofstream("util/syncclient.ini") << "[Site]\nID=1\n";
  }

  // A modal dialog: the call returns once it has closed, with the answer in message.
  open_window_text("w_choose_member", argv[2]);
  std::cout << message.number() << "\n";
  return 0;
}
