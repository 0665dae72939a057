// Loading modules: the member module declares exactly the windows it registers, and every refusal
// (no folder, no module in the folder, a file that is not a plugin, a module of another framework
// version) names the file and the reason.

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <algorithm>
#include <fstream>

#include "framework/module/module_loader.h"
#include "framework/version.h"
#include "framework/ui/window_registry.h"

namespace {

const loaded_module* member_module() {
  for (const loaded_module* m : loaded_modules())
    if (m->name == "member") return m;
  return nullptr;
}

TEST(module_loader, member_module_declares_the_windows_it_registers) {
  const loaded_module* m = member_module();
  ASSERT_NE(m, nullptr);
  EXPECT_FALSE(m->version.empty());
  std::vector<std::string> declared;
  for (const module_window& w : m->windows) {
    declared.push_back(w.class_name);
    EXPECT_TRUE(window_available(w.class_name)) << w.class_name;
    EXPECT_FALSE(w.caption.empty()) << w.class_name;
  }
  EXPECT_EQ(declared.size(), 9u);
  // Every module window the registry knows is declared (the rest are the host's and the tests').
  for (const std::string& name : registered_windows()) {
    if (name == "w_member_sale_sum" || name.rfind("w_ui_test", 0) == 0) continue;
    EXPECT_NE(std::find(declared.begin(), declared.end(), name), declared.end()) << name;
  }
  // Loading the same file again answers the module already loaded; init() ran once.
  std::string reason;
  EXPECT_EQ(load_module(m->file, reason), m);
  EXPECT_EQ(loaded_modules().size(), 1u);
}

TEST(module_loader, refusals_name_the_file_and_the_reason) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const std::string base = dir.path().toStdString();

  auto failures = load_modules(base + "/absent");
  ASSERT_EQ(failures.size(), 1u);
  EXPECT_NE(failures[0].text().find("absent: the module folder does not exist"), std::string::npos);

  failures = load_modules(base);
  ASSERT_EQ(failures.size(), 1u);
  EXPECT_EQ(failures[0].text(), base + ": the folder holds no module");

  // A file named like a library that is none: the loader's own reason.
  std::ofstream(base + "/libbroken.so") << "not a library\n";
  failures = load_modules(base);
  ASSERT_EQ(failures.size(), 1u);
  EXPECT_EQ(failures[0].file, base + "/libbroken.so");
  EXPECT_NE(failures[0].reason.find("libbroken.so"), std::string::npos) << failures[0].reason;

  std::string reason;
  EXPECT_EQ(load_module(OTHER_FRAMEWORK_MODULE_FILE, reason), nullptr);
  EXPECT_EQ(reason, "built against framework 0.9.0; this host has framework " MEMBER_FRAMEWORK_VERSION);
  EXPECT_EQ(loaded_modules().size(), 1u);
}

}  // namespace
