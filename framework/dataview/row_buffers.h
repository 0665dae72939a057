#pragma once
// The three row buffers of a data view (shown, filtered out, deleted) as lists of storage
// handles, with each row's status and, for changed cells only, the value the cell held when it
// was last read or saved.

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "framework/dataview/data_view.h"

class row_buffers {
 public:
  enum class place : uint8_t { primary, filter, deleted, gone };

  std::vector<uint32_t>& list(dv_buffer b);
  const std::vector<uint32_t>& list(dv_buffer b) const;
  std::vector<uint32_t> primary, filtered, deleted;

  void clear();
  // Registers handles [first, first + count) as retrieved rows at the end of the primary buffer.
  void add_retrieved(uint32_t first, uint32_t count);
  // Registers a new (inserted) handle; the caller places it in the primary buffer.
  void add_new(uint32_t h);

  dv_status status(uint32_t h) const { return dv_status(status_[h]); }
  void set_status(uint32_t h, dv_status s) { status_[h] = uint8_t(s); }
  place where(uint32_t h) const { return place(place_[h]); }
  void set_place(uint32_t h, place p) { place_[h] = uint8_t(p); }
  bool is_new(uint32_t h) const {
    dv_status s = status(h);
    return s == dv_status::new_ || s == dv_status::newmodified;
  }

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
  void forget_changes(uint32_t h);

  // Rows in primary and filter whose status is datamodified or newmodified.
  int64_t modified_count() const;
  // Every shown or filtered row notmodified with no originals, deleted rows gone. After a save
  // the new rows nobody filled in (never written) stay new.
  void accept_all(bool keep_untouched_new);

 private:
  std::vector<uint8_t> status_;  // dv_status per handle
  std::vector<uint8_t> place_;   // place per handle
  std::unordered_map<uint32_t, std::vector<original_cell>> originals_;
};
