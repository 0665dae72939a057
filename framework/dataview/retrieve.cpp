// retrieve(): binds the retrieval arguments to the query's host variables and reads the result
// straight into the column store through db_row's typed getters.

#include <algorithm>

#include "framework/dataview/data_view.h"
#include "framework/dataview/dv_impl.h"
#include "framework/dataview/names.h"

namespace {

// Reads rows into the store. Result columns are matched to the definition's columns by name.
class retrieve_sink : public row_sink {
 public:
  retrieve_sink(const dv_definition& def, data_view::storage& store,
                std::vector<declared_digits>& declared, const std::function<bool(int64_t)>& progress)
      : def_(def), store_(store), declared_(declared), progress_(progress) {}

  void on_columns(const db_row& shape) override {
    declared_.assign(def_.columns.size(), {});
    for (size_t i = 0; i < def_.columns.size(); ++i) {
      const dv_column& c = def_.columns[i];
      if (c.computed()) continue;
      int found = -1;
      for (int j = 0; j < shape.column_count() && found < 0; ++j)
        if (iequals(shape.column_name(j), c.name)) found = j;
      if (found < 0) {
        error_ = def_.name + ": column '" + c.name + "' is not in the query's result";
        return;
      }
      bindings_.push_back({int(i), found, c.type, c.scale});
      declared_[i] = shape.column_digits(found);
    }
    shaped_ = true;
  }

  bool on_row(const db_row& row) override {
    if (!shaped_) return false;
    for (const binding& b : bindings_) {
      if (row.is_null(b.result)) {
        store_.append_null(b.col);
        continue;
      }
      switch (b.type) {
        case col_type::long_t:
          if (std::optional<int64_t> v = row.get_long(b.result))
            store_.append_long(b.col, *v);
          else
            unreadable(row, b, "is not a whole number within the 64-bit range");
          break;
        case col_type::decimal_t: {
          std::optional<decimal> d = row.get_decimal(b.result, b.scale);
          if (d && d->scale != b.scale) d = d->rescale(b.scale);
          if (d)
            store_.append_mantissa(b.col, d->mantissa);
          else
            unreadable(row, b, "is not a number or too large for the column");
          break;
        }
        case col_type::datetime_t:
          if (std::optional<datetime> t = row.get_datetime(b.result))
            store_.append_long(b.col, t->seconds);
          else
            unreadable(row, b, "is not a date and time");
          break;
        case col_type::string_t: {
          std::string_view s = row.get_text(b.result);
          if (store_.arena_room(s.size()))
            store_.append_text(b.col, s);
          else
            unreadable(row, b, "does not fit: the data view holds 4 GB of text already");
          break;
        }
      }
    }
    store_.finish_row();
    ++rows_;
    if (!error_.empty()) return false;
    if (progress_ && (rows_ & 4095) == 0 && !progress_(rows_)) {
      cancelled_ = true;
      return false;
    }
    return true;
  }

  const std::string& error() const { return error_; }
  bool shaped() const { return shaped_; }
  int64_t rows() const { return rows_; }

 private:
  struct binding {
    int col;
    int result;
    col_type type;
    int scale;
  };
  static std::string shown(std::string_view text) {
    return text.size() <= 40 ? " '" + std::string(text) + "'" : "";
  }
  // A value the store cannot hold exactly is left null and fails the retrieval, naming the row by
  // its key (else its number) and the column, so that an administrator can mend that row;
  // nothing is shown in its place that a filter could test or a later save write back.
  void unreadable(const db_row& row, const binding& b, const char* what) {
    store_.append_null(b.col);
    if (!error_.empty()) return;
    std::string key;
    for (const binding& k : bindings_)
      if (def_.columns[k.col].key && !row.is_null(k.result))
        key += (key.empty() ? "" : ", ") + def_.columns[k.col].name + " " +
               std::string(row.get_text(k.result));
    const std::string table = def_.update_table.empty() ? "the result" : def_.update_table;
    error_ = def_.name + ": " +
             (key.empty() ? "row " + std::to_string(rows_ + 1) + " of " + table
                          : "the row of " + table + " with " + key) +
             ", column '" + def_.columns[b.col].name + "': the value" + shown(row.get_text(b.result)) +
             " " + what + "; an administrator must mend that row";
  }

  const dv_definition& def_;
  data_view::storage& store_;
  std::vector<declared_digits>& declared_;
  const std::function<bool(int64_t)>& progress_;
  std::vector<binding> bindings_;
  std::string error_;
  bool shaped_ = false;
  bool cancelled_ = false;
  int64_t rows_ = 0;
};

// An argument in the type its declaration gives, so that the database compares like with like
// (a null too: "where :an_siteid is null" tells PostgreSQL nothing of its type). A number is
// never rounded to another one: 150.7 for a long argument stays 150.7. nullopt for a text that
// is not a number where a number is declared.
std::optional<value> as_argument(const value& v, col_type t) {
  if (v.is_null()) return value::null_of(t);
  switch (t) {
    case col_type::long_t:
    case col_type::decimal_t: {
      if (v.is_datetime()) return v;
      std::optional<decimal> d = v.is_string() ? decimal::parse(trim_blanks(v.as_string())) : v.number();
      if (!d) return std::nullopt;
      if (t == col_type::long_t)
        if (std::optional<int64_t> whole = d->exact_long()) return value(*whole);
      return value(*d);
    }
    case col_type::string_t: return v.is_string() ? v : value(v.to_text());
    case col_type::datetime_t:
      if (v.is_string())
        if (auto d = datetime::parse(trim_blanks(v.as_string()))) return value(*d);
      return v;
  }
  return v;
}

}  // namespace

int64_t data_view::retrieve(std::vector<value> args, std::function<bool(int64_t rows)> progress) {
  impl& d = *d_;
  int64_t old_row = d.current;
  // A retrieval again is most likely about as large as the last one.
  size_t previous_rows = d.store.size(), previous_text = d.store.text_bytes();
  d.store.clear();
  d.rows.clear();
  d.current = 0;
  d.notify([](dv_listener* l) { l->dv_reset(); });
  if (old_row != 0) d.notify([&](dv_listener* l) { l->dv_current_changed(old_row, 0); });

  if (!d.tr || !d.tr->connected())
    return d.fail(d.def.name + ": retrieve without a connected transaction object");
  if (args.size() != d.def.arguments.size())
    return d.fail(d.def.name + ": retrieve expects " + std::to_string(d.def.arguments.size()) +
                  " argument(s), got " + std::to_string(args.size()));

  // Host variables are bound by name, in the order they first appear in the query.
  std::vector<std::string> names;
  rewrite_placeholders(d.def.sql, d.tr->kind(), &names);
  std::vector<value> params;
  params.reserve(names.size());
  for (const std::string& n : names) {
    size_t a = 0;
    while (a < d.def.arguments.size() && !iequals(d.def.arguments[a].name, n)) ++a;
    if (a == d.def.arguments.size())
      return d.fail(d.def.name + ": the query uses :" + n + ", which is not a retrieval argument");
    std::optional<value> p = as_argument(args[a], d.def.arguments[a].type);
    if (!p)
      return d.fail(d.def.name + ": the argument " + d.def.arguments[a].name + " '" +
                    args[a].to_text() + "' is not a number");
    params.push_back(std::move(*p));
  }

  d.store.reserve(std::max<size_t>(previous_rows, 256), previous_text);
  retrieve_sink sink(d.def, d.store, d.declared, progress);
  int rc = d.tr->query(d.def.sql, params, sink);
  std::string failure;
  if (!sink.error().empty())
    failure = sink.error();
  else if (rc < 0)
    failure = d.tr->sqlerrtext.empty() ? d.def.name + ": the query failed" : d.tr->sqlerrtext;
  else if (!sink.shaped())
    failure = d.def.name + ": the query returned no result columns";
  if (!failure.empty()) {
    d.store.clear();
    d.store.trim_capacity();
    d.notify([](dv_listener* l) { l->dv_reset(); });
    return d.fail(failure);
  }

  d.last_args = args;
  d.store.trim_capacity();
  d.rows.add_retrieved(0, d.store.size());
  if (d.filter_expr) d.apply_filter();
  if (d.sort_applied) d.apply_sort();
  d.error.clear();
  d.current = d.rows.count(dv_buffer::primary) == 0 ? 0 : 1;
  d.notify([](dv_listener* l) { l->dv_reset(); });
  if (d.current != 0) d.notify([&](dv_listener* l) { l->dv_current_changed(0, d.current); });
  return rowcount();
}
