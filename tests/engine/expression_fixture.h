#pragma once
// A tiny in-memory column store for the expression tests: named columns of one type each, rows
// appended as values, exposed as expr_schema and expr_env.

#include <string>
#include <vector>

#include "framework/expression/expression.h"

class expr_table : public expr_schema {
 public:
  struct column {
    std::string name;
    col_type type;
    int scale = 0;
    std::vector<uint8_t> nulls;
    std::vector<int64_t> longs;
    std::vector<__int128> decimals;
    std::vector<uint32_t> offsets, lengths;
    std::string arena;
  };

  expr_table& add(std::string name, col_type type, int scale = 0) {
    columns_.push_back({std::move(name), type, scale, {}, {}, {}, {}, {}, {}});
    return *this;
  }

  // One cell per column, in column order; decimals are given as text ("12.50").
  void row(const std::vector<value>& cells) {
    for (size_t i = 0; i < columns_.size(); ++i) {
      column& c = columns_[i];
      const value& v = cells.at(i);
      c.nulls.push_back(v.is_null());
      c.longs.push_back(v.is_long() ? v.as_long() : v.is_datetime() ? v.as_datetime().seconds : 0);
      __int128 m = 0;
      if (v.is_string() && c.type == col_type::decimal_t)
        m = decimal::parse(v.as_string(), c.scale)->mantissa;
      else if (v.is_long() && c.type == col_type::decimal_t)
        m = decimal::from_long(v.as_long()).rescale(c.scale)->mantissa;
      else if (v.is_decimal())
        m = v.as_decimal().rescale(c.scale)->mantissa;
      c.decimals.push_back(m);
      const std::string text = v.is_string() && c.type == col_type::string_t ? v.as_string() : "";
      c.offsets.push_back(uint32_t(c.arena.size()));
      c.lengths.push_back(uint32_t(text.size()));
      c.arena += text;
    }
    ++rows_;
  }

  uint32_t rows() const { return rows_; }

  int column_index(std::string_view name) const override {
    for (size_t i = 0; i < columns_.size(); ++i) {
      if (columns_[i].name == name) return int(i);
    }
    return -1;
  }
  col_type column_type(int index) const override { return columns_[size_t(index)].type; }
  int column_scale(int index) const override { return columns_[size_t(index)].scale; }

  // The storage view; valid until the next row().
  expr_env env(datetime today = datetime::from_parts(2026, 3, 14)) {
    data_.clear();
    for (const column& c : columns_) {
      column_data d;
      d.type = c.type;
      d.scale = c.scale;
      d.nulls = c.nulls.data();
      d.longs = c.longs.data();
      d.decimals = c.decimals.data();
      d.str_offset = c.offsets.data();
      d.str_length = c.lengths.data();
      d.arena = c.arena.data();
      data_.push_back(d);
    }
    return {data_, today};
  }

 private:
  std::vector<column> columns_;
  std::vector<column_data> data_;
  uint32_t rows_ = 0;
};
