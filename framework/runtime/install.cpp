#include "framework/dataview/data_view.h"
#include "framework/db/transaction.h"
#include "framework/runtime/runtime.h"

void install_runtime() {
  data_view::set_today_provider([] { return runtime::today(); });
  set_sql_error_reporter([](const std::string& title, const std::string& text) {
    messagebox(title, text, mb_icon::stop, mb_buttons::ok, 1);
  });
}
