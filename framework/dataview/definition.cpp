// Registry of declared data views and column lookup by name.

#include "framework/dataview/definition.h"

#include <map>

#include "framework/dataview/names.h"

int dv_definition::column_index(std::string_view column) const {
  column = trim_blanks(column);
  for (size_t i = 0; i < columns.size(); ++i)
    if (iequals(columns[i].name, column)) return int(i);
  return -1;
}

namespace {
// Keyed by the lower-case name; function-local so that registrations from static initialisers of
// other units find it constructed.
std::map<std::string, dv_definition>& registry() {
  static std::map<std::string, dv_definition> r;
  return r;
}
}  // namespace

void register_definition(dv_definition def) {
  std::string key = to_lower(def.name);
  registry()[key] = std::move(def);
}

const dv_definition* find_definition(std::string_view name) {
  auto& r = registry();
  auto it = r.find(to_lower(trim_blanks(name)));
  return it == r.end() ? nullptr : &it->second;
}

std::vector<std::string> definition_names() {
  std::vector<std::string> names;
  for (const auto& [key, def] : registry()) names.push_back(key);
  return names;
}
