// Entry point of the window tests: a QApplication on the offscreen platform with the module's
// fonts and runtime installed, then every GoogleTest case.

#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

#include "framework/runtime/runtime.h"
#include "framework/ui/install_ui.h"

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  ::testing::InitGoogleTest(&argc, argv);
  QApplication app(argc, argv);
  install_ui();
  // No box may wait for a person: unanswered boxes take their default button.
  runtime::set_messagebox_handler({});
  return RUN_ALL_TESTS();
}
