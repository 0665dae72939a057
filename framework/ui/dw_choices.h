#pragma once
// The values a code table or drop-down data view column offers: (display, data) pairs. A
// drop-down's rows are retrieved once, through the transaction of the control that shows it.

#include <map>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "framework/dataview/definition.h"

class uo_transaction;

struct dw_choices {
  std::vector<std::pair<std::string, std::string>> items;  // display, data
  std::unordered_map<std::string, size_t> by_data;

  void add(std::string display, std::string data);
  // Display text of a stored value; the value itself when it is not listed.
  const std::string& display_of(const std::string& data) const;
  int index_of(const std::string& data) const;  // -1 when not listed
};

// One control's lists, per column, built on first use.
class dw_choices_cache {
 public:
  // Null for columns that offer no list (plain edits, check boxes).
  const dw_choices* for_column(const dv_column& col, int index, uo_transaction* tr);
  void clear() { lists_.clear(); }

 private:
  std::map<int, dw_choices> lists_;
};
