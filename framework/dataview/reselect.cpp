// reselectrow(): one row read again by its key, through the view's own query.

#include "framework/dataview/data_view.h"
#include "framework/dataview/dv_impl.h"

int data_view::reselectrow(int64_t row) {
  impl& d = *d_;
  if (!d.valid_row(row, dv_buffer::primary)) return d.fail("reselectrow: no row " + std::to_string(row));
  const uint32_t h = d.handle_of(row, dv_buffer::primary);
  if (d.rows.status(h) != dv_status::notmodified) return -1;  // the user's edits are not replaced

  // The same query, narrowed to the row's key: the row reads as a retrieval would read it.
  dv_definition one = d.def;
  std::vector<value> args = d.last_args;
  std::string where;
  for (size_t c = 0; c < d.def.columns.size(); ++c) {
    const dv_column& col = d.def.columns[c];
    if (!col.key || col.computed()) continue;
    const std::string arg = "reselect_" + col.name;
    where += (where.empty() ? "" : " AND ") + ("reselected." + col.name) + " = :" + arg;
    one.arguments.push_back({arg, col.type});
    args.push_back(d.store.get(h, int(c)));
  }
  if (where.empty()) return d.fail(d.def.name + ": reselectrow needs a key column");
  one.sql = "SELECT * FROM (" + d.def.sql + ") reselected WHERE " + where;

  data_view fresh(one);
  fresh.settransobject(d.tr);
  const int64_t found = fresh.retrieve(std::move(args));
  if (found < 0) return d.fail(fresh.last_error());
  if (found == 0) return 0;
  for (size_t c = 0; c < d.def.columns.size(); ++c)
    if (!d.def.columns[c].computed() && d.store.stored(int(c)))
      d.store.set(h, int(c), fresh.getitem(1, int(c)));
  d.notify([row](dv_listener* l) { l->dv_row_changed(row); });
  return 1;
}
