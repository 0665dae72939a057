// update(): checks the rows it writes against the row rules, then writes deletes, the changed
// columns of modified rows and new rows, in one transaction. Nothing in the buffers changes until
// the commit has succeeded, so a refusal, a failure or a conflict leaves every edit in place for
// a retry.

#include <algorithm>
#include <optional>

#include "framework/dataview/data_view.h"
#include "framework/dataview/dml.h"
#include "framework/dataview/dv_impl.h"
#include "framework/dataview/names.h"

namespace {

struct planned {
  dml_statement stmt;
  std::string row;      // "第 3 行", for messages
  bool by_key = false;  // a delete or update: must touch exactly one row
  // After a save in doubt: counts the rows that show the change made already (a delete: none).
  dml_statement made;
  bool made_when_none = false;
  uint32_t h = 0;  // the row written
};

// The cells as the statement leaves them in the database: matched by their current values.
std::vector<dml_cell> as_written(std::vector<dml_cell> cells) {
  for (dml_cell& c : cells) c.original = c.current;
  return cells;
}

// Whether the change of a planned statement is in the database already: 1 yes, 0 no, -1 the
// database did not say.
int made_already(uo_transaction& tr, const planned& p) {
  std::vector<value> into;
  if (tr.select_into(p.made.sql, p.made.params, into) != 0) return -1;
  return (into[0] == value(int64_t(0))) == p.made_when_none ? 1 : 0;
}

// A save whose commit got no answer: what is known, and that saving again is safe.
std::string not_known(const std::string& why) {
  return "保存结果未知：数据库没有确认这些修改是否已保存（" + why +
         "）。修改仍保留在表格中；再次保存时会先核对数据库中是否已有这些修改，不会重复保存。";
}

std::string row_label(dv_buffer b, size_t index) {
  std::string n = std::to_string(index + 1);
  switch (b) {
    case dv_buffer::filter: return "被过滤的第 " + n + " 行";
    case dv_buffer::deleted: return "要删除的第 " + n + " 行";
    default: return "第 " + n + " 行";
  }
}

// "会员号 000009、会员名称 钱七 " (a deleted row: "要删除的…"): the row by what the user sees of
// it. Without naming columns, by its number in its buffer.
std::string row_label(const data_view& dv, uint32_t h, dv_buffer b, size_t index) {
  const dv_definition& def = dv.definition();
  std::string named;
  for (const std::string& name : def.row_names)
    if (const int col = def.column_index(name); col >= 0) {
      const std::string v = dv.store().get(h, col).to_text();
      if (!v.empty()) named += (named.empty() ? "" : "、") + def.columns[size_t(col)].header + " " + v;
    }
  if (named.empty()) return row_label(b, index);
  return (b == dv_buffer::deleted ? "要删除的" : "") + named + " ";
}

// "会员代号 900 已存在": the value of the row that a unique constraint or key already holds, by the
// header of its column.
std::string already_held(const data_view& dv, uint32_t h, const std::vector<std::string>& columns) {
  const dv_definition& def = dv.definition();
  std::string named;
  for (const std::string& db_column : columns)
    for (size_t c = 0; c < def.columns.size(); ++c)
      if (!def.columns[c].db_name.empty() && iequals(def.columns[c].db_name, db_column))
        named += (named.empty() ? "" : "、") + def.columns[c].header + " " +
                 dv.store().get(h, int(c)).to_text();
  return named.empty() ? "与已有的行重复" : named + " 已存在";
}

// What a save does with a row of that status; none for a row it does not write.
std::optional<dv_row_change> change_of(dv_status s) {
  switch (s) {
    case dv_status::datamodified: return dv_row_change::update;
    case dv_status::newmodified: return dv_row_change::insert;
    default: return std::nullopt;
  }
}

}  // namespace

std::function<std::string(int64_t row)> data_view::row_check() const {
  if (!d_->def.row_rules) return [](int64_t) { return std::string(); };
  return [this, check = d_->def.row_rules(d_->tr)](int64_t row) {
    if (!d_->valid_row(row, dv_buffer::primary)) return std::string();
    // A row not yet written is checked as the insert it will be.
    const dv_status s = d_->rows.status(d_->handle_of(row, dv_buffer::primary));
    const bool is_new = s == dv_status::new_ || s == dv_status::newmodified;
    return check({*this, row, dv_buffer::primary, is_new ? dv_row_change::insert : dv_row_change::update});
  };
}

int data_view::update() {
  impl& d = *d_;
  if (accepttext() < 0) return d.fail("当前输入的值未通过检查，没有保存");
  if (d.def.row_rules) {
    const dv_row_check check = d.def.row_rules(d.tr);
    for (dv_buffer b : {dv_buffer::deleted, dv_buffer::primary, dv_buffer::filter}) {
      std::span<const uint32_t> list = d.rows.handles(b);
      for (size_t i = 0; i < list.size(); ++i) {
        const std::optional<dv_row_change> change =
            b == dv_buffer::deleted ? dv_row_change::remove : change_of(d.rows.status(list[i]));
        if (!change) continue;
        if (std::string why = check({*this, int64_t(i) + 1, b, *change}); !why.empty())
          return d.fail(row_label(*this, list[i], b, i) + "没有保存：" + why);
      }
    }
  }

  auto cell_of = [&](uint32_t h, int col) {
    const dv_column& c = d.def.columns[size_t(col)];
    value cur = d.store.get(h, col);
    const value* orig = d.rows.original(h, col);
    return dml_cell{c.db_name, c.type, c.scale, cur, orig ? *orig : cur};
  };
  std::vector<int> key_cols, write_cols, other_cols;
  for (size_t i = 0; i < d.def.columns.size(); ++i) {
    const dv_column& c = d.def.columns[i];
    if (c.computed() || c.db_name.empty()) continue;
    write_cols.push_back(int(i));
    (c.key ? key_cols : other_cols).push_back(int(i));
  }
  auto cells_of = [&](uint32_t h, const std::vector<int>& cols) {
    std::vector<dml_cell> cells;
    for (int k : cols) cells.push_back(cell_of(h, k));
    return cells;
  };
  auto keys_of = [&](uint32_t h) { return cells_of(h, key_cols); };

  // Plan every statement first; nothing is sent when the plan cannot be made.
  std::vector<planned> plan;
  // The plan is only sent over a connection, so its dialect is the connection's.
  const backend kind = d.tr && d.tr->connected() ? d.tr->kind() : backend::sqlite;
  std::span<const uint32_t> deleted = d.rows.handles(dv_buffer::deleted);
  bool any_change = !deleted.empty();
  // After a save in doubt each change is looked for before it is written: a change stored by
  // that save is neither written again nor taken for another terminal's.
  const auto made = [&](planned p, std::vector<dml_cell> cells, bool when_none) {
    if (d.save_in_doubt) p.made = make_count(kind, d.def.update_table, cells);
    p.made_when_none = when_none;
    return p;
  };
  // A deleted row is matched as it was read, so that a delete never takes away a change another
  // terminal made meanwhile: such a row is a conflict, like an update over a changed row.
  for (size_t i = 0; i < deleted.size(); ++i) {
    uint32_t h = deleted[i];
    plan.push_back(made({make_delete(kind, d.def.update_table, keys_of(h), cells_of(h, other_cols)),
                         row_label(*this, h, dv_buffer::deleted, i), true},
                        keys_of(h), true));
    plan.back().h = h;
  }
  for (dv_buffer b : {dv_buffer::primary, dv_buffer::filter}) {
    std::span<const uint32_t> list = d.rows.handles(b);
    for (size_t i = 0; i < list.size(); ++i) {
      uint32_t h = list[i];
      if (d.rows.status(h) != dv_status::datamodified) continue;
      any_change = true;
      std::vector<dml_cell> changed;
      if (const auto* cells = d.rows.changes(h))
        for (const auto& oc : *cells)
          if (!d.def.columns[size_t(oc.col)].db_name.empty()) changed.push_back(cell_of(h, oc.col));
      if (changed.empty()) continue;
      std::vector<dml_cell> row = keys_of(h);  // and the changed columns outside the key
      for (const dml_cell& c : changed)
        if (std::none_of(row.begin(), row.end(),
                         [&](const dml_cell& k) { return k.column == c.column; }))
          row.push_back(c);
      plan.push_back(made({make_update(kind, d.def.update_table, keys_of(h), changed), row_label(*this, h, b, i),
                           true},
                          as_written(std::move(row)), false));
      plan.back().h = h;
    }
  }
  for (dv_buffer b : {dv_buffer::primary, dv_buffer::filter}) {
    std::span<const uint32_t> list = d.rows.handles(b);
    for (size_t i = 0; i < list.size(); ++i) {
      uint32_t h = list[i];
      if (d.rows.status(h) != dv_status::newmodified) continue;
      any_change = true;
      std::vector<dml_cell> cells;
      for (int c : write_cols) cells.push_back(cell_of(h, c));
      plan.push_back(made({make_insert(kind, d.def.update_table, cells), row_label(*this, h, b, i), false},
                          as_written(cells), false));
      plan.back().h = h;
    }
  }
  if (!any_change) return 1;
  if (d.def.update_table.empty()) return d.fail(d.def.name + " 不可保存：没有更新表 (not updatable)");
  if (plan.empty()) {
    // Only columns outside the update table changed: nothing to write.
    d.rows.accept_all(true);
    return 1;
  }
  if (write_cols.empty()) return d.fail(d.def.name + " 不可保存：没有可写入更新表的列");
  bool by_key = false;
  for (const planned& p : plan) by_key = by_key || p.by_key;
  if (by_key && key_cols.empty()) return d.fail(d.def.name + " 不可保存：更新表没有键列");
  uo_transaction* tr = d.tr;
  if (!tr || !tr->connected()) return d.fail(d.def.name + " 不可保存：没有连接数据库");

  // Another session holding what the save needs is told alike wherever the wait ended (SQLite
  // waits at the start, PostgreSQL at the row).
  if (!tr->in_transaction() && tr->begin() != 0)
    return d.fail(tr->held_elsewhere() ? tr->sqlerrtext : "无法开始事务：" + tr->sqlerrtext);
  int found = 0;
  for (const planned& p : plan) {
    if (d.save_in_doubt) {
      const int there = made_already(*tr, p);
      if (there < 0) {
        std::string why = tr->sqlerrtext;
        tr->rollback();
        return d.fail(not_known(why));
      }
      found += there;
      if (there) continue;
    }
    int rc = tr->execute(p.stmt.sql, p.stmt.params);
    std::string failure;
    if (rc < 0 && tr->held_elsewhere())
      failure = tr->sqlerrtext;
    else if (rc < 0)
      failure = p.row + "保存失败：" + tr->sqlerrtext;
    else if (p.by_key && tr->sqlnrows == 0)
      failure = p.row + "已被其他终端修改或删除，请重新读取后再修改";
    else if (p.by_key && tr->sqlnrows > 1)
      failure = p.row + "的键在数据库中不唯一，没有保存";
    if (rc < 0 && tr->duplicate()) {
      tr->rollback();
      return d.fail(p.row + "保存失败：" + already_held(*this, p.h, tr->duplicate_columns()));
    }
    if (!failure.empty()) {
      tr->rollback();
      return d.fail(failure);
    }
  }
  if (tr->commit() != 0) {
    std::string why = tr->sqlerrtext;
    const bool doubt = tr->commit_in_doubt();
    tr->rollback();
    d.save_in_doubt = d.save_in_doubt || doubt;
    return d.fail(doubt ? not_known(why) : "提交失败：" + why);
  }
  // Changes found made count once the database confirms them durable.
  if (found > 0 && tr->confirm_durable() != 0) return d.fail(not_known(tr->sqlerrtext));
  d.save_in_doubt = false;

  std::vector<int64_t> told;
  std::span<const uint32_t> shown = d.rows.handles(dv_buffer::primary);
  for (size_t i = 0; i < shown.size(); ++i) {
    dv_status s = d.rows.status(shown[i]);
    if (s == dv_status::datamodified || s == dv_status::newmodified) told.push_back(int64_t(i) + 1);
  }
  d.rows.accept_all(true);
  d.error.clear();
  for (int64_t row : told) d.notify([&](dv_listener* l) { l->dv_row_changed(row); });
  return 1;
}
