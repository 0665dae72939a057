#pragma once
// The three row buffers of a data view (shown, filtered out, deleted) as lists of storage
// handles, with each row's status and, for changed cells only, the value the cell held when it
// was last read or saved. A registered handle is in exactly one buffer, or gone once dropped;
// only the operations below move rows, and they keep every row's status and originals with it.

#include <algorithm>
#include <cstdint>
#include <functional>
#include <numeric>
#include <span>
#include <unordered_map>
#include <vector>

#include "framework/dataview/data_view.h"

class row_buffers {
 public:
  // Handles of a buffer in row order: row r is element r - 1.
  std::span<const uint32_t> handles(dv_buffer b) const;
  size_t count(dv_buffer b) const { return handles(b).size(); }

  void clear();
  // Registers handles [first, first + count) as retrieved rows at the end of the primary buffer.
  void add_retrieved(uint32_t first, uint32_t count);
  // Registers a new handle (status new_) as row `index` + 1 of the primary buffer.
  void insert_new(size_t index, uint32_t h);
  // Takes row `index` + 1 out of the primary buffer and answers its handle. A new row is dropped
  // with its originals (never written, nothing to delete); a retrieved row goes to the end of the
  // deleted buffer and keeps its originals, which still name it in the database.
  uint32_t remove(size_t index);
  // Rows of the primary and filter buffers, in handle (retrieval) order, are handed to `test`,
  // which sets one flag per row: the rows flagged go to the primary buffer, the others to the
  // filter buffer, both in that order. Without a test every row is shown.
  using row_test = std::function<void(std::span<const uint32_t> rows, std::vector<uint8_t>& passing)>;
  void partition(const row_test& test);
  // Stable sort of the primary buffer. less(a, b) compares two rows by their places (0-based)
  // in the buffer before the sort, so keys can be computed once per place beforehand.
  template <class Less>
  void sort_primary(Less less);

  dv_status status(uint32_t h) const { return dv_status(status_[h]); }

  // Column changed since the last read or save.
  bool modified(uint32_t h, int col) const;
  // The cell's value when last read or saved; null pointer when the cell has not changed.
  const value* original(uint32_t h, int col) const;
  // Keeps `old` as the original of the cell unless one is kept already; sets the row's status.
  void note_change(uint32_t h, int col, const value& old);
  // Changed columns of a row, in the order they were first changed.
  struct original_cell {
    int col;
    value old;
  };
  const std::vector<original_cell>* changes(uint32_t h) const;

  // Rows in primary and filter whose status is datamodified or newmodified.
  int64_t modified_count() const;
  // Every shown or filtered row notmodified with no originals, deleted rows gone. After a save
  // the new rows nobody filled in (never written) stay new.
  void accept_all(bool keep_untouched_new);

 private:
  enum class place : uint8_t { primary, filter, deleted, gone };
  void set_status(uint32_t h, dv_status s) { status_[h] = uint8_t(s); }
  bool is_new(uint32_t h) const {
    dv_status s = status(h);
    return s == dv_status::new_ || s == dv_status::newmodified;
  }
  void set_place(uint32_t h, place p) { place_[h] = uint8_t(p); }

  std::vector<uint32_t> primary_, filtered_, deleted_;
  std::vector<uint32_t> scratch_;  // partition's gathering of every row
  std::vector<uint8_t> passing_;   // partition's flags
  std::vector<uint8_t> status_;  // dv_status per handle
  std::vector<uint8_t> place_;   // place per handle
  std::unordered_map<uint32_t, std::vector<original_cell>> originals_;
};

template <class Less>
void row_buffers::sort_primary(Less less) {
  std::vector<uint32_t> order(primary_.size());
  std::iota(order.begin(), order.end(), 0u);
  std::stable_sort(order.begin(), order.end(), less);
  std::vector<uint32_t> sorted(primary_.size());
  for (size_t i = 0; i < order.size(); ++i) sorted[i] = primary_[order[i]];
  primary_ = std::move(sorted);
}
