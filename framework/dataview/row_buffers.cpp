// Row buffers, row status and original values of a data view.

#include "framework/dataview/row_buffers.h"

std::span<const uint32_t> row_buffers::handles(dv_buffer b) const {
  switch (b) {
    case dv_buffer::filter: return filtered_;
    case dv_buffer::deleted: return deleted_;
    default: return primary_;
  }
}

void row_buffers::clear() {
  primary_.clear();
  filtered_.clear();
  deleted_.clear();
  status_.clear();
  place_.clear();
  originals_.clear();
}

void row_buffers::add_retrieved(uint32_t first, uint32_t count) {
  status_.resize(size_t(first) + count, uint8_t(dv_status::notmodified));
  place_.resize(size_t(first) + count, uint8_t(place::primary));
  primary_.reserve(primary_.size() + count);
  for (uint32_t i = 0; i < count; ++i) primary_.push_back(first + i);
}

void row_buffers::insert_new(size_t index, uint32_t h) {
  if (status_.size() <= h) {
    status_.resize(size_t(h) + 1, uint8_t(dv_status::notmodified));
    place_.resize(size_t(h) + 1, uint8_t(place::gone));
  }
  set_status(h, dv_status::new_);
  set_place(h, place::primary);
  primary_.insert(primary_.begin() + std::ptrdiff_t(index), h);
}

uint32_t row_buffers::remove(size_t index) {
  uint32_t h = primary_[index];
  primary_.erase(primary_.begin() + std::ptrdiff_t(index));
  if (is_new(h)) {
    set_place(h, place::gone);
    originals_.erase(h);
  } else {
    set_place(h, place::deleted);
    deleted_.push_back(h);
  }
  return h;
}

void row_buffers::partition(const row_test& test) {
  // Every row of both buffers, in handle order, gathered in scratch_. It and passing_ keep their
  // blocks from one filter to the next: fresh blocks for a million rows would cost a page fault
  // per 4 KB. Each buffer is in handle order unless a sort or an insert changed that, and two
  // ordered lists merge in one pass where sorting a million handles takes twenty.
  std::vector<uint32_t>& all = scratch_;
  all.clear();
  if (filtered_.empty()) {
    all.swap(primary_);
    if (!std::is_sorted(all.begin(), all.end())) std::sort(all.begin(), all.end());
  } else {
    if (std::is_sorted(primary_.begin(), primary_.end()) && std::is_sorted(filtered_.begin(), filtered_.end())) {
      all.resize(primary_.size() + filtered_.size());
      std::merge(primary_.begin(), primary_.end(), filtered_.begin(), filtered_.end(), all.begin());
    } else {
      all.insert(all.end(), primary_.begin(), primary_.end());
      all.insert(all.end(), filtered_.begin(), filtered_.end());
      std::sort(all.begin(), all.end());
    }
    primary_.clear();
    filtered_.clear();
  }
  if (!test) {
    primary_.swap(all);
    for (uint32_t h : primary_) set_place(h, place::primary);
    return;
  }
  test(all, passing_);
  const size_t shown = size_t(std::count_if(passing_.begin(), passing_.end(), [](uint8_t p) { return p != 0; }));
  primary_.reserve(shown);
  filtered_.reserve(all.size() - shown);
  for (size_t i = 0; i < all.size(); ++i) {
    const uint32_t h = all[i];
    if (passing_[i]) {
      primary_.push_back(h);
      set_place(h, place::primary);
    } else {
      filtered_.push_back(h);
      set_place(h, place::filter);
    }
  }
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
  for (uint32_t h : deleted_) set_place(h, place::gone);
  deleted_.clear();
  originals_.clear();
  for (size_t h = 0; h < status_.size(); ++h) {
    if (place(place_[h]) == place::gone) continue;
    if (keep_untouched_new && dv_status(status_[h]) == dv_status::new_) continue;
    status_[h] = uint8_t(dv_status::notmodified);
  }
}
