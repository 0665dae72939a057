#pragma once
// The values a code table or drop-down column offers: (display, data) pairs. A data view holds
// one list per such column; a drop-down's list is read by data_view::load_choices().

#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

struct dv_choices {
  std::vector<std::pair<std::string, std::string>> items;  // display, data
  std::unordered_map<std::string, size_t> by_data;

  void add(std::string display, std::string data);
  // Display text of a stored value; the value itself when it is not listed.
  const std::string& display_of(const std::string& data) const;
  int index_of(const std::string& data) const;  // -1 when not listed
};
