// setsort() and sort(): a stable sort of the shown rows by one or more columns, each ascending or
// descending; a null sorts below every value.

#include "framework/dataview/data_view.h"
#include "framework/dataview/dv_impl.h"
#include "framework/dataview/names.h"

namespace {

int three_way(auto a, auto b) { return a < b ? -1 : (b < a ? 1 : 0); }

// Order of two values of one computed column: null first, then by number, text or time.
int compare_values(const value& a, const value& b) {
  if (a.is_null() || b.is_null()) return a.is_null() == b.is_null() ? 0 : (a.is_null() ? -1 : 1);
  auto na = a.number(), nb = b.number();
  if (na && nb) return na->compare(*nb);
  if (a.is_string() && b.is_string()) return three_way(std::string_view(a.as_string()), std::string_view(b.as_string()));
  if (a.is_datetime() && b.is_datetime()) return three_way(a.as_datetime().seconds, b.as_datetime().seconds);
  return three_way(a.raw().index(), b.raw().index());
}

}  // namespace

int data_view::setsort(std::string_view spec) {
  impl& d = *d_;
  std::vector<impl::sort_key> keys;
  std::string_view rest = spec;
  while (!trim_blanks(rest).empty()) {
    size_t comma = rest.find(',');
    std::string_view item = trim_blanks(rest.substr(0, comma));
    rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
    size_t blank = item.find_first_of(" \t");
    std::string_view name = item.substr(0, blank);
    std::string_view dir = blank == std::string_view::npos ? "A" : trim_blanks(item.substr(blank));
    int col = d.def.column_index(name);
    if (name.empty() || col < 0) return d.fail("setsort: unknown column '" + std::string(name) + "'");
    if (!iequals(dir, "a") && !iequals(dir, "d"))
      return d.fail("setsort: '" + std::string(dir) + "' after '" + std::string(name) +
                    "' is neither A nor D");
    keys.push_back({col, iequals(dir, "d")});
  }
  d.sort_keys = std::move(keys);
  return 1;
}

void data_view::impl::apply_sort() {
  std::span<const uint32_t> rowsv = rows.handles(dv_buffer::primary);
  // Computed keys are evaluated once per row, at the row's place before sorting.
  std::vector<std::vector<value>> computed_keys(sort_keys.size());
  for (size_t k = 0; k < sort_keys.size(); ++k) {
    int col = sort_keys[k].col;
    if (store.stored(col)) continue;
    computed_keys[k].reserve(rowsv.size());
    for (size_t i = 0; i < rowsv.size(); ++i) computed_keys[k].push_back(cell(rowsv[i], col, int64_t(i) + 1, false));
  }
  auto compare = [&](uint32_t ia, uint32_t ib) {
    for (size_t k = 0; k < sort_keys.size(); ++k) {
      int col = sort_keys[k].col, c = 0;
      uint32_t a = rowsv[ia], b = rowsv[ib];
      if (!store.stored(col)) {
        c = compare_values(computed_keys[k][ia], computed_keys[k][ib]);
      } else {
        bool na = store.is_null(a, col), nb = store.is_null(b, col);
        if (na || nb) {
          c = na == nb ? 0 : (na ? -1 : 1);
        } else {
          switch (def.columns[col].type) {
            case col_type::long_t:
            case col_type::datetime_t: c = three_way(store.get_long(a, col), store.get_long(b, col)); break;
            case col_type::decimal_t: c = three_way(store.get_mantissa(a, col), store.get_mantissa(b, col)); break;
            case col_type::string_t: c = three_way(store.text(a, col), store.text(b, col)); break;
          }
        }
      }
      if (c != 0) return sort_keys[k].descending ? c > 0 : c < 0;
    }
    return false;
  };
  rows.sort_primary(compare);
}

int data_view::sort() {
  impl& d = *d_;
  d.sort_applied = !d.sort_keys.empty();
  if (!d.sort_applied) return 1;
  int64_t old_row = d.current;
  uint32_t keep = old_row > 0 ? d.handle_of(old_row, dv_buffer::primary) : 0;
  d.apply_sort();
  d.notify([](dv_listener* l) { l->dv_reset(); });
  d.reseat_current(old_row, keep, old_row > 0);
  return 1;
}
