#pragma once
// Puts a changed copy of a registered data object in place for the life of the object, then the
// original back: a window built meanwhile meets the view as another release might declare it.

#include <functional>
#include <string>

#include "framework/dataview/definition.h"

class definition_swap {
 public:
  definition_swap(const std::string& name, const std::function<void(dv_definition&)>& change)
      : original_(*find_definition(name)) {
    dv_definition changed = original_;
    change(changed);
    register_definition(std::move(changed));
  }
  ~definition_swap() { register_definition(original_); }
  definition_swap(const definition_swap&) = delete;
  definition_swap& operator=(const definition_swap&) = delete;

 private:
  dv_definition original_;
};

// The view knows the column under another name only, still read from its query: for what names
// the old one, the column is gone.
inline void rename_column(dv_definition& d, const std::string& from, const std::string& to) {
  d.columns[size_t(d.column_index(from))].name = to;
  d.sql = "SELECT q.*, q." + from + " AS " + to + " FROM (" + d.sql + ") q";
}
