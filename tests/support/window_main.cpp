// Entry point of the window tests: a QApplication on the offscreen platform with the module's
// fonts and runtime installed, settings (remembered column widths) in a temporary folder, the
// member module loaded by path as the host loads it, then every GoogleTest case.

#include <gtest/gtest.h>

#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>
#include <cstdlib>
#include <iostream>

#include "framework/module/module_loader.h"
#include "host/host_windows.h"
#include "framework/runtime/runtime.h"
#include "framework/ui/install_ui.h"

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  ::testing::InitGoogleTest(&argc, argv);
  QApplication app(argc, argv);
  // Nothing a test drags reaches the settings of the person running the tests.
  QTemporaryDir settings;
  QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings.path());
  install_ui();
  // No box may wait for a person: unanswered boxes take their default button.
  runtime::set_messagebox_handler({});
  std::string reason;
  if (!load_module(MEMBER_MODULE_FILE, reason) || !add_host_windows(reason)) {
    std::cerr << "cannot load the member module " MEMBER_MODULE_FILE ": " << reason << "\n";
    return 1;
  }
  return RUN_ALL_TESTS();
}
