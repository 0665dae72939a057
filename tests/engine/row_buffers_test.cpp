// Row buffers alone, without a database: random interleavings of retrieve, insert, delete, edit,
// filter, sort and save checked against a plain model after every step.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>

#include "framework/dataview/row_buffers.h"

namespace {

// What the buffers must hold: rows in order per buffer, and per handle its status and the
// originals of its changed columns in the order they were first changed.
struct model {
  std::vector<uint32_t> primary, filtered, deleted;
  std::map<uint32_t, dv_status> status;
  std::map<uint32_t, std::vector<std::pair<int, int64_t>>> originals;
  uint32_t next = 0;

  bool is_new(uint32_t h) { return status[h] == dv_status::new_ || status[h] == dv_status::newmodified; }
};

void expect_same(const row_buffers& rows, model& m, const std::string& step) {
  SCOPED_TRACE(step);
  auto list = [&](dv_buffer b) {
    std::span<const uint32_t> s = rows.handles(b);
    return std::vector<uint32_t>(s.begin(), s.end());
  };
  ASSERT_EQ(list(dv_buffer::primary), m.primary);
  ASSERT_EQ(list(dv_buffer::filter), m.filtered);
  ASSERT_EQ(list(dv_buffer::deleted), m.deleted);
  std::vector<uint32_t> seen = m.primary;
  seen.insert(seen.end(), m.filtered.begin(), m.filtered.end());
  seen.insert(seen.end(), m.deleted.begin(), m.deleted.end());
  std::sort(seen.begin(), seen.end());
  ASSERT_EQ(std::adjacent_find(seen.begin(), seen.end()), seen.end()) << "a handle in two places";
  for (uint32_t h : seen) {
    ASSERT_EQ(rows.status(h), m.status[h]) << "handle " << h;
    const auto& want = m.originals[h];
    const auto* got = rows.changes(h);
    ASSERT_EQ(got ? got->size() : 0, want.size()) << "handle " << h;
    for (size_t i = 0; i < want.size(); ++i) {
      EXPECT_EQ((*got)[i].col, want[i].first);
      EXPECT_EQ((*got)[i].old, value(want[i].second));
      EXPECT_EQ(*rows.original(h, want[i].first), value(want[i].second));
    }
  }
  int64_t modified = 0;
  for (const auto* v : {&m.primary, &m.filtered})
    for (uint32_t h : *v) modified += m.status[h] == dv_status::datamodified || m.status[h] == dv_status::newmodified;
  EXPECT_EQ(rows.modified_count(), modified);
}

void run_interleaving(unsigned seed) {
  std::mt19937 rng(seed);
  auto pick = [&](size_t n) { return size_t(std::uniform_int_distribution<size_t>(0, n - 1)(rng)); };
  row_buffers rows;
  model m;
  std::vector<int> key(4096);  // sort key per handle, with ties
  for (int& k : key) k = int(pick(8));
  int64_t stamp = 0;

  for (int step = 0; step < 1500; ++step) {
    std::string what;
    switch (step == 0 || pick(60) == 0 ? 7 : pick(7)) {
      case 0: {  // insert a new row anywhere, the end included
        size_t at = pick(m.primary.size() + 1);
        uint32_t h = m.next++;
        rows.insert_new(at, h);
        m.primary.insert(m.primary.begin() + std::ptrdiff_t(at), h);
        m.status[h] = dv_status::new_;
        what = "insert " + std::to_string(h);
        break;
      }
      case 1: {  // delete a shown row
        if (m.primary.empty()) continue;
        size_t at = pick(m.primary.size());
        uint32_t h = m.primary[at];
        EXPECT_EQ(rows.remove(at), h);
        m.primary.erase(m.primary.begin() + std::ptrdiff_t(at));
        if (m.is_new(h)) {
          m.originals.erase(h);
          m.status.erase(h);
        } else {
          m.deleted.push_back(h);
        }
        what = "delete " + std::to_string(h);
        break;
      }
      case 2:
      case 3: {  // change a cell of a shown row
        if (m.primary.empty()) continue;
        uint32_t h = m.primary[pick(m.primary.size())];
        int col = int(pick(3));
        rows.note_change(h, col, value(++stamp));
        auto& o = m.originals[h];
        if (std::none_of(o.begin(), o.end(), [&](auto& c) { return c.first == col; })) o.push_back({col, stamp});
        if (m.status[h] == dv_status::notmodified) m.status[h] = dv_status::datamodified;
        if (m.status[h] == dv_status::new_) m.status[h] = dv_status::newmodified;
        what = "change " + std::to_string(h);
        break;
      }
      case 4: {  // filter: handle h shown when h % mod != 0, or every row shown
        uint32_t mod = uint32_t(pick(4));
        auto pass = [&](uint32_t h) { return mod == 0 || h % (mod + 1) != 0; };
        rows.partition(mod == 0 ? row_buffers::row_test() : [&](std::span<const uint32_t> all, std::vector<uint8_t>& p) {
          p.clear();
          for (uint32_t h : all) p.push_back(pass(h));
        });
        std::vector<uint32_t> all = m.primary;
        all.insert(all.end(), m.filtered.begin(), m.filtered.end());
        std::sort(all.begin(), all.end());
        m.primary.clear();
        m.filtered.clear();
        for (uint32_t h : all) (pass(h) ? m.primary : m.filtered).push_back(h);
        what = "filter " + std::to_string(mod);
        break;
      }
      case 5: {  // sort the shown rows by key, descending half the time
        bool down = pick(2);
        std::span<const uint32_t> before = rows.handles(dv_buffer::primary);
        std::vector<uint32_t> at(before.begin(), before.end());
        rows.sort_primary([&](uint32_t a, uint32_t b) {
          return down ? key[at[a]] > key[at[b]] : key[at[a]] < key[at[b]];
        });
        std::stable_sort(m.primary.begin(), m.primary.end(),
                         [&](uint32_t a, uint32_t b) { return down ? key[a] > key[b] : key[a] < key[b]; });
        what = "sort";
        break;
      }
      case 6: {  // save or reset: deleted rows go, originals are forgotten
        bool keep = pick(2);
        rows.accept_all(keep);
        for (uint32_t h : m.deleted) m.status.erase(h);
        m.deleted.clear();
        m.originals.clear();
        for (auto& [h, s] : m.status)
          if (!(keep && s == dv_status::new_)) s = dv_status::notmodified;
        what = keep ? "save" : "reset";
        break;
      }
      case 7: {  // retrieve afresh
        uint32_t n = uint32_t(pick(50));
        rows.clear();
        rows.add_retrieved(0, n);
        m = model{};
        for (uint32_t h = 0; h < n; ++h) {
          m.primary.push_back(h);
          m.status[h] = dv_status::notmodified;
        }
        m.next = n;
        what = "retrieve " + std::to_string(n);
        break;
      }
    }
    expect_same(rows, m, "seed " + std::to_string(seed) + " step " + std::to_string(step) + ": " + what);
    if (::testing::Test::HasFatalFailure()) return;
  }
}

TEST(row_buffers_test, interleavings_keep_every_row_once_with_its_status_and_originals) {
  for (unsigned seed = 1; seed <= 6; ++seed) {
    run_interleaving(seed);
    if (::testing::Test::HasFatalFailure()) return;
  }
}

}  // namespace
