#include "framework/ui/install_ui.h"

#include "framework/runtime/runtime.h"
#include "framework/ui/file_dialog_guard.h"
#include "framework/ui/gui_messagebox.h"
#include "framework/ui/module_font.h"
#include "framework/ui/qt_translations.h"

void install_ui() {
  install_fonts();
  install_qt_translations();
  install_file_dialog_guard();
  install_runtime();
  runtime::set_messagebox_handler(show_gui_messagebox);
}
