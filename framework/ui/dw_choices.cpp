#include "framework/ui/dw_choices.h"

#include "framework/dataview/data_view.h"

void dw_choices::add(std::string display, std::string data) {
  by_data.emplace(data, items.size());
  items.emplace_back(std::move(display), std::move(data));
}

const std::string& dw_choices::display_of(const std::string& data) const {
  const auto it = by_data.find(data);
  return it == by_data.end() ? data : items[it->second].first;
}

int dw_choices::index_of(const std::string& data) const {
  const auto it = by_data.find(data);
  return it == by_data.end() ? -1 : int(it->second);
}

const dw_choices* dw_choices_cache::for_column(const dv_column& col, int index,
                                               uo_transaction* tr) {
  if (col.style != edit_style::codetable && col.style != edit_style::dddw) return nullptr;
  if (const auto it = lists_.find(index); it != lists_.end()) return &it->second;

  dw_choices list;
  if (col.style == edit_style::codetable) {
    for (const auto& [display, data] : col.codes) list.add(display, data);
    return &(lists_[index] = std::move(list));
  }
  const dv_definition* def = find_definition(col.dddw_name);
  if (!def) return &(lists_[index] = std::move(list));
  // Without a transaction the rows cannot be read yet; try again once the control has one.
  if (!tr) {
    static const dw_choices none;
    return &none;
  }
  data_view dd(*def);
  dd.settransobject(tr);
  if (dd.retrieve() > 0) {
    const int display_col = def->column_index(col.dddw_display);
    const int data_col = def->column_index(col.dddw_data);
    for (int64_t r = 1; r <= dd.rowcount(); ++r) {
      std::string data = data_col >= 0 ? dd.getitem(r, data_col).to_text() : std::string();
      std::string display = display_col >= 0 ? dd.gettext(r, display_col) : data;
      list.add(std::move(display), std::move(data));
    }
  }
  return &(lists_[index] = std::move(list));
}
