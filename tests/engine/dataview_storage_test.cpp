// The column store with arrays of several megabytes, which live on huge pages: values written
// while the arrays grow past that size, trimmed, cleared and written again read back intact.
#include <gtest/gtest.h>

#include <string>

#include "framework/dataview/columns.h"
#include "framework/dataview/storage.h"

namespace {

using namespace dv_columns;

TEST(dataview_storage, arrays_of_megabytes_keep_every_value) {
  data_view::storage s({stored("n", integer), stored("t", text(20))});
  constexpr uint32_t rows = 600000;  // 4.8 MB of longs, 3.4 MB of text
  for (int round = 0; round < 2; ++round) {
    s.clear();
    for (uint32_t i = 0; i < rows; ++i) {
      s.append_long(0, int64_t(i) * 7);
      if (i % 5 == 0) s.append_null(1);
      else s.append_text(1, std::to_string(i));
      s.finish_row();
    }
    s.trim_capacity();
    ASSERT_EQ(s.size(), rows);
    for (uint32_t h = 0; h < rows; h += 4999) {
      ASSERT_EQ(s.get_long(h, 0), int64_t(h) * 7) << h;
      ASSERT_EQ(s.is_null(h, 1), h % 5 == 0) << h;
      if (h % 5 != 0) ASSERT_EQ(s.text(h, 1), std::to_string(h)) << h;
    }
    EXPECT_EQ(s.text(rows - 1, 1), std::to_string(rows - 1));
  }
}

}  // namespace
