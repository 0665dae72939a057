#include "framework/ui/window_registry.h"

#include <algorithm>
#include <cctype>
#include <map>

#include "framework/runtime/runtime.h"
#include "framework/ui/w_base.h"

namespace {

std::map<std::string, window_factory>& factories() {
  static std::map<std::string, window_factory> m;
  return m;
}

std::string key_of(std::string name) {
  std::transform(name.begin(), name.end(), name.begin(),
                 [](unsigned char c) { return char(std::tolower(c)); });
  return name;
}

// Opens a created window; a modal dialog runs until it closes and is then deleted.
w_base* open_created(w_base* w) {
  if (!w) return nullptr;
  w->run_open_sequence();
  if (!w->is_dialog()) return w;
  if (!w->is_closed()) w->exec();
  delete w;
  return nullptr;
}

}  // namespace

void register_window(const std::string& class_name, window_factory f) {
  factories()[key_of(class_name)] = std::move(f);
}

bool window_available(const std::string& class_name) {
  return factories().count(key_of(class_name)) > 0;
}

std::vector<std::string> registered_windows() {
  std::vector<std::string> out;
  for (const auto& [name, f] : factories()) out.push_back(name);
  return out;
}

w_base* create_window(const std::string& class_name) {
  const auto it = factories().find(key_of(class_name));
  if (it == factories().end()) return nullptr;
  w_base* w = it->second();
  if (w) w->setObjectName(QString::fromStdString(class_name));
  return w;
}

w_base* open_window(const std::string& class_name, int64_t parm) {
  if (!window_available(class_name)) return nullptr;
  message.set_number(parm);
  return open_created(create_window(class_name));
}

w_base* open_window_text(const std::string& class_name, const std::string& text) {
  if (!window_available(class_name)) return nullptr;
  message.stringparm = text;
  return open_created(create_window(class_name));
}
