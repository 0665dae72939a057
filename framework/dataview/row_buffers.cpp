// Row buffers, row status and original values of a data view.

#include "framework/dataview/row_buffers.h"

std::vector<uint32_t>& row_buffers::list(dv_buffer b) {
  switch (b) {
    case dv_buffer::filter: return filtered;
    case dv_buffer::deleted: return deleted;
    default: return primary;
  }
}

const std::vector<uint32_t>& row_buffers::list(dv_buffer b) const {
  return const_cast<row_buffers*>(this)->list(b);
}

void row_buffers::clear() {
  primary.clear();
  filtered.clear();
  deleted.clear();
  status_.clear();
  place_.clear();
  originals_.clear();
}

void row_buffers::add_retrieved(uint32_t first, uint32_t count) {
  status_.resize(size_t(first) + count, uint8_t(dv_status::notmodified));
  place_.resize(size_t(first) + count, uint8_t(place::primary));
  primary.reserve(primary.size() + count);
  for (uint32_t i = 0; i < count; ++i) primary.push_back(first + i);
}

void row_buffers::add_new(uint32_t h) {
  if (status_.size() <= h) {
    status_.resize(size_t(h) + 1, uint8_t(dv_status::notmodified));
    place_.resize(size_t(h) + 1, uint8_t(place::gone));
  }
  status_[h] = uint8_t(dv_status::new_);
  place_[h] = uint8_t(place::primary);
}

bool row_buffers::modified(uint32_t h, int col) const { return original(h, col) != nullptr; }

const value* row_buffers::original(uint32_t h, int col) const {
  auto it = originals_.find(h);
  if (it == originals_.end()) return nullptr;
  for (const original_cell& c : it->second)
    if (c.col == col) return &c.old;
  return nullptr;
}

void row_buffers::note_change(uint32_t h, int col, const value& old) {
  auto& cells = originals_[h];
  bool kept = false;
  for (const original_cell& c : cells)
    if (c.col == col) kept = true;
  if (!kept) cells.push_back({col, old});
  dv_status s = status(h);
  if (s == dv_status::notmodified) set_status(h, dv_status::datamodified);
  if (s == dv_status::new_) set_status(h, dv_status::newmodified);
}

const std::vector<row_buffers::original_cell>* row_buffers::changes(uint32_t h) const {
  auto it = originals_.find(h);
  return it == originals_.end() ? nullptr : &it->second;
}

void row_buffers::forget_changes(uint32_t h) { originals_.erase(h); }

int64_t row_buffers::modified_count() const {
  int64_t n = 0;
  for (size_t h = 0; h < status_.size(); ++h) {
    place p = place(place_[h]);
    if (p != place::primary && p != place::filter) continue;
    dv_status s = dv_status(status_[h]);
    if (s == dv_status::datamodified || s == dv_status::newmodified) ++n;
  }
  return n;
}

void row_buffers::accept_all(bool keep_untouched_new) {
  for (uint32_t h : deleted) set_place(h, place::gone);
  deleted.clear();
  originals_.clear();
  for (size_t h = 0; h < status_.size(); ++h) {
    if (place(place_[h]) == place::gone) continue;
    if (keep_untouched_new && dv_status(status_[h]) == dv_status::new_) continue;
    status_[h] = uint8_t(dv_status::notmodified);
  }
}
