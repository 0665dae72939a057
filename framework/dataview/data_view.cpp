// data_view: construction, buffers and current row, row insertion and deletion, status,
// modify() of column properties, listeners.

#include "framework/dataview/data_view.h"

#include <charconv>

#include "framework/dataview/dv_impl.h"
#include "framework/dataview/names.h"
#include "framework/value/local_clock.h"

namespace {
std::function<datetime()>& today_provider() {
  static std::function<datetime()> p;
  return p;
}
}  // namespace

datetime dv_today() {
  auto& p = today_provider();
  return p ? p() : day_of(local_now());
}

void data_view::set_today_provider(std::function<datetime()> today) {
  today_provider() = std::move(today);
}

int dv_schema::column_index(std::string_view name) const {
  for (size_t i = 0; i < cols_.size(); ++i)
    if (!cols_[i].computed() && iequals(cols_[i].name, name)) return int(i);
  return -1;
}

data_view::impl::impl(const dv_definition& d) : def(d), store(def.columns), schema(def.columns) {
  computed.resize(def.columns.size());
  computed_error.resize(def.columns.size());
  for (size_t i = 0; i < def.columns.size(); ++i) {
    if (!def.columns[i].computed()) continue;
    computed[i] = compiled_expr::compile(def.columns[i].expression, schema, computed_error[i]);
  }
  make_choice_lists();
}

value data_view::impl::cell(uint32_t h, int col, int64_t position, bool original) const {
  if (col < 0 || col >= int(def.columns.size()) || h >= store.size()) return value();
  if (computed[col]) return computed[col]->eval(env(), h, position);
  if (!store.stored(col)) return value();
  if (original)
    if (const value* o = rows.original(h, col)) return *o;
  return store.get(h, col);
}

void data_view::impl::set_current(int64_t row) {
  if (row == current) return;
  int64_t old = current;
  current = row;
  notify([&](dv_listener* l) { l->dv_current_changed(old, row); });
}

void data_view::impl::reseat_current(int64_t old_row, uint32_t keep, bool had_current) {
  std::span<const uint32_t> shown = rows.handles(dv_buffer::primary);
  int64_t row = shown.empty() ? 0 : 1;
  if (had_current)
    for (size_t i = 0; i < shown.size(); ++i)
      if (shown[i] == keep) {
        row = int64_t(i) + 1;
        break;
      }
  current = row;
  if (row != old_row) notify([&](dv_listener* l) { l->dv_current_changed(old_row, row); });
}

data_view::data_view(const dv_definition& def) : d_(std::make_unique<impl>(def)) {}
data_view::~data_view() = default;

const dv_definition& data_view::definition() const { return d_->def; }
void data_view::settransobject(uo_transaction* tr) {
  d_->tr = tr;
  d_->choices_loaded = false;  // the drop-downs are read again through the new one
}
uo_transaction* data_view::transobject() const { return d_->tr; }
const std::string& data_view::last_error() const { return d_->error; }
const data_view::storage& data_view::store() const { return d_->store; }

uint32_t data_view::handle(int64_t row, dv_buffer buf) const {
  return d_->valid_row(row, buf) ? d_->handle_of(row, buf) : UINT32_MAX;
}

void data_view::reset() {
  d_->store.clear();
  d_->rows.clear();
  d_->current = 0;
  d_->notify([](dv_listener* l) { l->dv_reset(); });
}

int64_t data_view::rowcount() const { return int64_t(d_->rows.count(dv_buffer::primary)); }
int64_t data_view::filteredcount() const { return int64_t(d_->rows.count(dv_buffer::filter)); }
int64_t data_view::deletedcount() const { return int64_t(d_->rows.count(dv_buffer::deleted)); }
int64_t data_view::modifiedcount() const { return d_->rows.modified_count(); }
int64_t data_view::getrow() const { return d_->current; }

int data_view::setrow(int64_t row) {
  if (!d_->valid_row(row, dv_buffer::primary)) return -1;
  d_->set_current(row);
  return 1;
}

int data_view::scrolltorow(int64_t row) { return setrow(row); }

int64_t data_view::insertrow(int64_t before) {
  int64_t n = rowcount();
  if (before < 0 || before > n + 1) {
    d_->error = "insertrow: row " + std::to_string(before) + " does not exist";
    return -1;
  }
  int64_t row = (before == 0) ? n + 1 : before;
  uint32_t h = d_->store.append_null_row();
  d_->rows.insert_new(size_t(row - 1), h);
  // The rows from `row` on moved down by one; so did the current row when it was among them.
  if (d_->current >= row) ++d_->current;
  d_->notify([&](dv_listener* l) { l->dv_rows_inserted(row, 1); });
  d_->set_current(row);
  return row;
}

int data_view::deleterow(int64_t row) {
  if (row == 0) row = d_->current;
  if (!d_->valid_row(row, dv_buffer::primary)) {
    d_->error = "deleterow: row " + std::to_string(row) + " does not exist";
    return -1;
  }
  // A new row was never written: it just goes, with nothing to delete in the database.
  d_->rows.remove(size_t(row - 1));
  d_->notify([&](dv_listener* l) { l->dv_rows_removed(row, 1); });
  int64_t old = d_->current, n = rowcount();
  int64_t now = old;
  if (old > row) now = old - 1;
  if (now > n) now = n;
  // The listeners saw the row go; the current row is told afresh even when its number stays.
  d_->current = now;
  d_->notify([&](dv_listener* l) { l->dv_current_changed(old, now); });
  return 1;
}

dv_status data_view::getitemstatus(int64_t row, int column, dv_buffer buf) const {
  if (!d_->valid_row(row, buf)) return dv_status::notmodified;
  uint32_t h = d_->handle_of(row, buf);
  if (column < 0) return d_->rows.status(h);
  return d_->rows.modified(h, column) ? dv_status::datamodified : dv_status::notmodified;
}

void data_view::set_accept_hook(std::function<int()> hook) { d_->accept_hook = std::move(hook); }

int data_view::accepttext() { return d_->accept_hook ? d_->accept_hook() : 1; }

int data_view::resetupdate() {
  d_->rows.accept_all(false);
  d_->notify([](dv_listener* l) { l->dv_reset(); });
  return 1;
}

int data_view::tab_sequence(int column) const {
  if (column < 0 || column >= int(d_->def.columns.size())) return -1;
  return d_->def.columns[column].tab;
}

std::string data_view::modify(std::string_view property) {
  // One or more "column.property=value" settings separated by blanks.
  std::string_view rest = trim_blanks(property);
  if (rest.empty()) return "modify: nothing to set";
  bool changed = false;
  std::string err;
  while (!rest.empty()) {
    size_t end = rest.find_first_of(" \t\r\n");
    std::string_view item = rest.substr(0, end);
    rest = end == std::string_view::npos ? std::string_view() : trim_blanks(rest.substr(end));
    size_t dot = item.find('.'), eq = item.find('=');
    if (dot == std::string_view::npos || eq == std::string_view::npos || eq < dot) {
      err = "modify: '" + std::string(item) + "' is not column.property=value";
      break;
    }
    std::string_view col = item.substr(0, dot), prop = item.substr(dot + 1, eq - dot - 1),
                     val = item.substr(eq + 1);
    if (val.size() >= 2 && (val.front() == '\'' || val.front() == '"') && val.back() == val.front())
      val = val.substr(1, val.size() - 2);
    int c = d_->def.column_index(col);
    if (c < 0) {
      err = "modify: unknown column '" + std::string(col) + "'";
      break;
    }
    if (!iequals(prop, "tabsequence")) {
      err = "modify: unknown property '" + std::string(prop) + "' of column '" + std::string(col) + "'";
      break;
    }
    int n = 0;
    auto [p, ec] = std::from_chars(val.data(), val.data() + val.size(), n);
    if (ec != std::errc() || p != val.data() + val.size() || n < 0) {
      err = "modify: tab order '" + std::string(val) + "' of column '" + std::string(col) +
            "' is not a whole number";
      break;
    }
    if (d_->def.columns[c].tab != n) {
      d_->def.columns[c].tab = n;
      changed = true;
    }
  }
  if (changed) d_->notify([](dv_listener* l) { l->dv_columns_changed(); });
  return err;
}

void data_view::add_listener(dv_listener* l) {
  for (dv_listener* x : d_->listeners)
    if (x == l) return;
  d_->listeners.push_back(l);
}

void data_view::remove_listener(dv_listener* l) {
  std::erase(d_->listeners, l);
}
