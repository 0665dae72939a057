// The lists of code table and drop-down columns, and the reading of a drop-down's rows.

#include "framework/dataview/choices.h"

#include "framework/dataview/dv_impl.h"

void dv_choices::add(std::string display, std::string data) {
  by_data.emplace(data, items.size());
  items.emplace_back(std::move(display), std::move(data));
}

const std::string& dv_choices::display_of(const std::string& data) const {
  const auto it = by_data.find(data);
  return it == by_data.end() ? data : items[it->second].first;
}

int dv_choices::index_of(const std::string& data) const {
  const auto it = by_data.find(data);
  return it == by_data.end() ? -1 : int(it->second);
}

namespace {

// The rows of col's drop-down data view, read through tr. "" or what went wrong.
std::string read_dropdown(const dv_column& col, uo_transaction* tr, dv_choices& list) {
  const std::string what = "the drop-down " + col.dddw_name + " of column " + col.name;
  const dv_definition* def = find_definition(col.dddw_name);
  if (!def) return what + " is not a data view";
  const int display_col = def->column_index(col.dddw_display);
  const int data_col = def->column_index(col.dddw_data);
  if (display_col < 0 || data_col < 0)
    return what + " has no column " + (data_col < 0 ? col.dddw_data : col.dddw_display);
  data_view dd(*def);
  dd.settransobject(tr);
  if (dd.retrieve() < 0) return what + ": " + dd.last_error();
  for (int64_t r = 1; r <= dd.rowcount(); ++r)
    list.add(dd.gettext(r, display_col), dd.getitem(r, data_col).to_text());
  return "";
}

}  // namespace

void data_view::impl::make_choice_lists() {
  for (size_t c = 0; c < def.columns.size(); ++c) {
    const dv_column& col = def.columns[c];
    if (col.style == edit_style::codetable) {
      dv_choices& list = choices[int(c)];
      for (const auto& [display, data] : col.codes) list.add(display, data);
    } else if (col.style == edit_style::dddw) {
      choices[int(c)];  // empty until load_choices() reads it
    }
  }
}

const dv_choices* data_view::choices(int column) const {
  const auto it = d_->choices.find(column);
  return it == d_->choices.end() ? nullptr : &it->second;
}

bool data_view::choices_loaded() const { return d_->choices_loaded; }

int data_view::load_choices() {
  for (auto& [c, list] : d_->choices) {
    const dv_column& col = d_->def.columns[size_t(c)];
    if (col.style != edit_style::dddw) continue;
    dv_choices read;
    if (std::string failure = read_dropdown(col, d_->tr, read); !failure.empty())
      return d_->fail(failure);
    list = std::move(read);
  }
  d_->choices_loaded = true;
  return 1;
}
