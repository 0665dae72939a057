#include "framework/ui/install_ui.h"

#include "framework/dataview/data_view.h"
#include "framework/db/transaction.h"
#include "framework/runtime/runtime.h"
#include "framework/ui/file_dialog_guard.h"
#include "framework/ui/gui_messagebox.h"
#include "framework/ui/module_font.h"
#include "framework/ui/qt_translations.h"

void install_ui() {
  install_fonts();
  install_qt_translations();
  install_file_dialog_guard();
  data_view::set_today_provider([] { return runtime::today(); });
  set_sql_error_reporter([](const std::string& title, const std::string& text) {
    messagebox(title, text, mb_icon::stop, mb_buttons::ok, 1);
  });
  runtime::set_messagebox_handler(show_gui_messagebox);
}
