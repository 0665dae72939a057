#pragma once
// Loads module plugins with QPluginLoader and keeps them loaded for the life of the process.
// The metadata is read and checked before a plugin is loaded; every refusal is a result naming
// the file and the reason (the loader's own where it has one), never a crash.

#include <string>
#include <vector>

class module_interface;

// A window class as a module's metadata declares it. opens_with says what the window is opened
// with: "" (nothing), "memberid" (message.number()) or "text" (message.stringparm).
struct module_window {
  std::string class_name, caption, opens_with;
};

struct loaded_module {
  std::string file;  // absolute path of the plugin
  std::string name, version;
  std::vector<module_window> windows;
  module_interface* module = nullptr;
};

struct module_failure {
  std::string file, reason;
  std::string text() const { return file + ": " + reason; }
};

// Loads one plugin and runs its init(). Loading a file again answers the module loaded before.
// Null with reason set when the file is not a module of this framework.
const loaded_module* load_module(const std::string& file, std::string& reason);

// Loads every library in dir. A folder that cannot be read or holds no module is a failure too.
std::vector<module_failure> load_modules(const std::string& dir);

// The modules loaded so far, in loading order.
const std::vector<const loaded_module*>& loaded_modules();

// Windows the host itself provides, declared by metadata of a module's form (its "windows" list)
// and registered by register_windows, the function generated from that same metadata. False with
// reason when the metadata does not read; nothing is registered then.
bool declare_host_windows(const char* metadata, void (*register_windows)(), std::string& reason);

// The window classes the loaded modules declare, in their order, then the host's own.
std::vector<module_window> declared_windows();
