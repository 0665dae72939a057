// Display text of data view cells.

#include "framework/dataview/cell_text.h"

#include "framework/dataview/names.h"

std::string general_text(const value& v) {
  if (v.is_null()) return "";
  if (v.is_long()) return std::to_string(v.as_long());
  if (v.is_decimal()) return v.as_decimal().to_general();
  if (v.is_datetime()) return v.as_datetime().to_string();
  if (v.is_string()) return v.as_string();
  return v.to_text();
}

namespace {
// Places of a fixed number format: "0" -> 0, "0.00" -> 2, "#,##0.00" is not one (-1).
int fixed_places(std::string_view f) {
  f = trim_blanks(f);
  if (f.empty() || f[0] != '0') return -1;
  size_t i = 1;
  while (i < f.size() && f[i] == '0') ++i;
  if (i == f.size()) return 0;
  if (f[i] != '.') return -1;
  size_t places = 0;
  for (++i; i < f.size(); ++i, ++places)
    if (f[i] != '0') return -1;
  return int(places);
}
}  // namespace

std::string display_text(const dv_column& c, const value& v) {
  if (v.is_null()) return "";
  if (c.style == edit_style::codetable) {
    std::string data = general_text(v);
    for (const auto& [display, code] : c.codes)
      if (code == data) return display;
    return data;
  }
  int places = fixed_places(c.format);
  if (places >= 0)
    if (std::optional<decimal> n = v.number()) return n->format(places);
  return general_text(v);
}
