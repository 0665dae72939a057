#pragma once
// Start-up of the screen side: fonts, Qt's own texts in Chinese, file dialogs that never open the
// files they list, message boxes shown as QMessageBox, and the runtime wiring (install_runtime).
// Call once after the QApplication exists.

void install_ui();
