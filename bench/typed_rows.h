#pragma once
// The rows of a query as a hand-written driver loop keeps them, the baseline that retrieval is
// measured against: a null byte and one typed vector per column, texts in one shared buffer.

#include <cstddef>
#include <cstdint>
#include <vector>

// The cells of one column; each reader adds what it needs to know of the column's type.
struct raw_cells {
  std::vector<uint8_t> nulls;
  std::vector<int64_t> longs;
  std::vector<__int128> mantissas;
  std::vector<uint32_t> offsets, lengths;
};

template <class Column>
struct typed_rows {
  std::vector<Column> columns;
  std::vector<char> text;
  int64_t rows = 0;

  // Appends a text cell of column c: its bytes go to the shared buffer.
  void add_text(Column& c, const char* p, size_t len) {
    c.offsets.push_back(uint32_t(text.size()));
    c.lengths.push_back(uint32_t(len));
    text.insert(text.end(), p, p + len);
  }
};
