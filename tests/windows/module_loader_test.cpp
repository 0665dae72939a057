// Loading modules: the windows declared, the module's and the host's, are those registered, and
// every refusal (no folder, no module in the folder, a file that is not a plugin, a module of
// another framework version, a host window list that does not read) says why.

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <algorithm>
#include <fstream>
#include <memory>

#include "framework/module/module_loader.h"
#include "framework/version.h"
#include "framework/ui/w_base.h"
#include "framework/ui/window_registry.h"

namespace {

const loaded_module* member_module() {
  for (const loaded_module* m : loaded_modules())
    if (m->name == "member") return m;
  return nullptr;
}

// The windows are listed once, in metadata: the module's and the host's are all registered, and
// each declares the title the window gives itself (the launcher shows it without making one).
TEST(module_loader, declared_windows_are_registered_with_the_titles_they_show) {
  const loaded_module* m = member_module();
  ASSERT_NE(m, nullptr);
  EXPECT_FALSE(m->version.empty());
  EXPECT_EQ(m->windows.size(), 9u);
  std::vector<std::string> declared;
  for (const module_window& w : declared_windows()) {
    declared.push_back(w.class_name);
    const std::unique_ptr<w_base> made(create_window(w.class_name));
    ASSERT_TRUE(made) << w.class_name;
    made->create();
    EXPECT_EQ(made->title(), w.caption) << w.class_name;
  }
  EXPECT_EQ(declared.back(), "w_member_sale_sum");
  // Every window the registry knows is declared (but the tests' own).
  for (const std::string& name : registered_windows()) {
    if (name.rfind("w_ui_test", 0) == 0) continue;
    EXPECT_NE(std::find(declared.begin(), declared.end(), name), declared.end()) << name;
  }
  // Loading the same file again answers the module already loaded; init() ran once.
  std::string reason;
  EXPECT_EQ(load_module(m->file, reason), m);
  EXPECT_EQ(loaded_modules().size(), 1u);
}

// A host window list that does not read registers nothing and leaves the declared ones.
TEST(module_loader, a_host_window_list_that_does_not_read_is_refused) {
  static int registrations = 0;
  const size_t before = declared_windows().size();
  const std::pair<const char*, std::string> lists[] = {
      {"{\"windows\": [", "the host's window list does not read: "},
      {R"({"windows": [{"caption": "x"}]})", "its metadata lists a window without a class name"},
  };
  for (const auto& [metadata, why] : lists) {
    std::string reason;
    EXPECT_FALSE(declare_host_windows(metadata, [] { ++registrations; }, reason)) << metadata;
    EXPECT_EQ(reason.substr(0, why.size()), why);
  }
  EXPECT_EQ(registrations, 0);
  EXPECT_EQ(declared_windows().size(), before);
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
