#pragma once
// Column-wise row store of a data view: per column a null byte vector and one typed vector
// (int64 for long and datetime, __int128 mantissas at the column's scale for decimals, offset and
// length into one shared char arena for strings). A row is a handle, its index in the store;
// handles never move while the store lives. Computed columns take no space here: their
// column_data has null pointers and their values come from data_view::getitem.

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "framework/dataview/data_view.h"
#include "framework/dataview/large_arrays.h"
#include "framework/expression/expression.h"

class data_view::storage {
 public:
  explicit storage(const std::vector<dv_column>& columns);

  int column_count() const { return int(cols_.size()); }
  uint32_t size() const { return rows_; }  // handles handed out so far
  // Views for the expression evaluator and fast readers; valid until the store next changes.
  const column_data& column(int col) const;
  std::span<const column_data> columns() const;

  bool stored(int col) const { return cols_[col].stored; }
  bool is_null(uint32_t h, int col) const { return cols_[col].nulls[h] != 0; }
  int64_t get_long(uint32_t h, int col) const { return cols_[col].longs[h]; }
  __int128 get_mantissa(uint32_t h, int col) const { return cols_[col].decimals[h]; }
  std::string_view text(uint32_t h, int col) const {
    const col_store& c = cols_[col];
    return std::string_view(arena_.data() + c.offsets[h], c.lengths[h]);
  }
  // The cell as a value (null for computed columns and null cells).
  value get(uint32_t h, int col) const;
  // Stores a value already converted to the column's type (or null); false when the text
  // arena is full (4 GB) or the cell does not exist.
  bool set(uint32_t h, int col, const value& v);

  uint32_t append_null_row();
  void clear();
  void reserve(size_t rows, size_t text_bytes = 0);
  size_t text_bytes() const { return arena_.size(); }
  // Gives back spare capacity after a bulk load when it is large.
  void trim_capacity();
  // Bytes the store holds (capacity of every vector and the arena).
  size_t memory_bytes() const;

  // Bulk load, as retrieve uses it: every stored column of a row gets exactly one append_*,
  // then finish_row() makes the row a handle.
  void append_null(int col) {
    col_store& c = cols_[col];
    c.nulls.push_back(1);
    push_zero(c);
  }
  void append_long(int col, int64_t v) {
    col_store& c = cols_[col];
    c.nulls.push_back(0);
    c.longs.push_back(v);
  }
  void append_mantissa(int col, __int128 m) {
    col_store& c = cols_[col];
    c.nulls.push_back(0);
    c.decimals.push_back(m);
  }
  void append_text(int col, std::string_view s) {
    col_store& c = cols_[col];
    c.nulls.push_back(0);
    c.offsets.push_back(uint32_t(arena_.size()));
    c.lengths.push_back(uint32_t(s.size()));
    arena_.insert(arena_.end(), s.begin(), s.end());
  }
  void finish_row() {
    ++rows_;
    stale_ = true;
  }
  // Whether the arena can still be addressed with 32-bit offsets after adding `more` bytes.
  bool arena_room(size_t more) const { return arena_.size() + more < UINT32_MAX; }

 private:
  struct col_store {
    col_type type = col_type::long_t;
    int scale = 0;
    bool stored = true;
    large_vector<uint8_t> nulls;
    large_vector<int64_t> longs;        // long, datetime
    large_vector<__int128> decimals;    // decimal
    large_vector<uint32_t> offsets, lengths;  // string
  };
  static void push_zero(col_store& c) {
    switch (c.type) {
      case col_type::long_t:
      case col_type::datetime_t: c.longs.push_back(0); break;
      case col_type::decimal_t: c.decimals.push_back(0); break;
      case col_type::string_t:
        c.offsets.push_back(0);
        c.lengths.push_back(0);
        break;
    }
  }
  void refresh_views() const;

  std::vector<col_store> cols_;
  large_vector<char> arena_;
  uint32_t rows_ = 0;
  mutable std::vector<column_data> views_;
  mutable bool stale_ = true;
};
