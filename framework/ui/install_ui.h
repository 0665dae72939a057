#pragma once
// Start-up of the screen side: fonts, Qt's own texts in Chinese, file dialogs that never open the
// files they list, message boxes shown as QMessageBox, and the engine wired to the runtime
// (computed columns read today() from it, f_check_sql reports through messagebox with the stop
// icon). Call once after the QApplication exists.

void install_ui();
