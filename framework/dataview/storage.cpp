// Column-wise row store of a data view.

#include "framework/dataview/storage.h"

#include <cstring>

data_view::storage::storage(const std::vector<dv_column>& columns) {
  cols_.resize(columns.size());
  for (size_t i = 0; i < columns.size(); ++i) {
    cols_[i].type = columns[i].type;
    cols_[i].scale = columns[i].scale;
    cols_[i].stored = !columns[i].computed();
  }
}

void data_view::storage::refresh_views() const {
  views_.resize(cols_.size());
  for (size_t i = 0; i < cols_.size(); ++i) {
    const col_store& c = cols_[i];
    column_data& v = views_[i];
    v = column_data{};
    v.type = c.type;
    v.scale = c.scale;
    if (!c.stored) continue;
    v.nulls = c.nulls.data();
    v.longs = c.longs.data();
    v.decimals = c.decimals.data();
    v.str_offset = c.offsets.data();
    v.str_length = c.lengths.data();
    v.arena = arena_.data();
  }
  stale_ = false;
}

const column_data& data_view::storage::column(int col) const {
  if (stale_) refresh_views();
  return views_[col];
}

std::span<const column_data> data_view::storage::columns() const {
  if (stale_) refresh_views();
  return views_;
}

value data_view::storage::get(uint32_t h, int col) const {
  const col_store& c = cols_[col];
  if (!c.stored || h >= rows_ || c.nulls[h]) return value();
  switch (c.type) {
    case col_type::long_t: return value(c.longs[h]);
    case col_type::datetime_t: return value(datetime{c.longs[h]});
    case col_type::decimal_t: return value(decimal{c.decimals[h], c.scale});
    case col_type::string_t: return value(std::string(text(h, col)));
  }
  return value();
}

bool data_view::storage::set(uint32_t h, int col, const value& v) {
  col_store& c = cols_[col];
  if (!c.stored || h >= rows_) return false;
  stale_ = true;
  if (v.is_null()) {
    c.nulls[h] = 1;
    return true;
  }
  c.nulls[h] = 0;
  switch (c.type) {
    case col_type::long_t: c.longs[h] = v.as_long(); break;
    case col_type::datetime_t: c.longs[h] = v.as_datetime().seconds; break;
    // Converted values are at the column's scale already: the rescale changes nothing.
    case col_type::decimal_t: c.decimals[h] = v.as_decimal().rescale(c.scale).value().mantissa; break;
    case col_type::string_t: {
      const std::string& s = v.as_string();
      // The old bytes belong to this cell alone: a text that fits is written over them.
      // An empty text copies nothing: the arena may not even exist yet.
      if (s.size() <= c.lengths[h]) {
        if (!s.empty()) std::memcpy(arena_.data() + c.offsets[h], s.data(), s.size());
      } else {
        if (!arena_room(s.size())) return false;
        c.offsets[h] = uint32_t(arena_.size());
        arena_.insert(arena_.end(), s.begin(), s.end());
      }
      c.lengths[h] = uint32_t(s.size());
      break;
    }
  }
  return true;
}

uint32_t data_view::storage::append_null_row() {
  for (int i = 0; i < column_count(); ++i)
    if (cols_[i].stored) append_null(i);
  finish_row();
  return rows_ - 1;
}

void data_view::storage::clear() {
  for (col_store& c : cols_) {
    c.nulls.clear();
    c.longs.clear();
    c.decimals.clear();
    c.offsets.clear();
    c.lengths.clear();
  }
  arena_.clear();
  rows_ = 0;
  stale_ = true;
}

void data_view::storage::reserve(size_t rows, size_t text_bytes) {
  arena_.reserve(text_bytes);
  for (col_store& c : cols_) {
    if (!c.stored) continue;
    c.nulls.reserve(rows);
    switch (c.type) {
      case col_type::long_t:
      case col_type::datetime_t: c.longs.reserve(rows); break;
      case col_type::decimal_t: c.decimals.reserve(rows); break;
      case col_type::string_t:
        c.offsets.reserve(rows);
        c.lengths.reserve(rows);
        break;
    }
  }
  stale_ = true;
}

namespace {
template <class V>
void trim(V& v) {
  if (v.capacity() > v.size() + v.size() / 8 + 64) v.shrink_to_fit();
}
}  // namespace

void data_view::storage::trim_capacity() {
  for (col_store& c : cols_) {
    trim(c.nulls);
    trim(c.longs);
    trim(c.decimals);
    trim(c.offsets);
    trim(c.lengths);
  }
  trim(arena_);
  stale_ = true;
}

size_t data_view::storage::memory_bytes() const {
  size_t n = arena_.capacity();
  for (const col_store& c : cols_)
    n += c.nulls.capacity() + c.longs.capacity() * sizeof(int64_t) +
         c.decimals.capacity() * sizeof(__int128) +
         (c.offsets.capacity() + c.lengths.capacity()) * sizeof(uint32_t);
  return n;
}
