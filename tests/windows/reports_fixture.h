#pragma once
// Shared by the award report tests: members and redemptions around December 2009, a fixed today,
// and opening a window the way the host does (a dialog without waiting for it).

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "framework/runtime/runtime.h"
#include "framework/ui/u_wsk_dw.h"
#include "framework/ui/w_base.h"
#include "framework/ui/window_registry.h"
#include "support/test_db.h"
#include "support/window_helpers.h"

class reports_test : public db_test {
 protected:
  void SetUp() override {
    db_test::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    // The report's pickers start on the month of today.
    runtime::set_now(datetime::from_parts(2009, 12, 15, 10, 30, 0));
    runtime::take_shown_boxes();
  }
  void TearDown() override {
    runtime::set_now(std::nullopt);
    runtime::script_answers({});
    db_test::TearDown();
  }

  // Members 00123, 00124, an empty number and one holding a double quote; redemptions from
  // November 2009 to January 2010, one of them by a member who no longer exists (99).
  void add_members_and_records() {
    exec("INSERT INTO t_member (memberid, memberno, membername, usercard) VALUES "
         "(1, '00123', '张三', '110101199001011234'), (2, '00124', '李四', NULL), "
         "(3, '', '王五', NULL), (4, 'a\"b', '赵六', NULL)");
    exec("INSERT INTO t_member_award_record "
         "(seqid, memberid, mdname, mdintegral, notes, timevalidated) VALUES "
         "(1, 1, '精美雨伞', 150, NULL, 20091130), (2, 1, '精美雨伞', 150, NULL, 20091201), "
         "(3, 2, '不锈钢保温杯', 300, '备注', 20091215), (4, 3, '电饭煲', 1000, NULL, 20091231), "
         "(5, 4, '电动牙刷', 500, NULL, 20091220), (6, 99, '电饭煲', 1000, NULL, 20091210), "
         "(7, 1, '精美雨伞', 150, NULL, 20100101), (8, 1, '电动牙刷', 500, NULL, 20091231)");
  }

  // Creates the window by class name and runs its open sequence, shown and active.
  template <class W>
  std::unique_ptr<W> open(const std::string& class_name) {
    auto* w = dynamic_cast<W*>(create_window(class_name));
    EXPECT_NE(w, nullptr) << class_name;
    if (!w) return nullptr;
    w->run_open_sequence();
    show_active(w);
    return std::unique_ptr<W>(w);
  }

  // ids of the grid's rows, sorted (the queries give no order).
  static std::vector<int64_t> sorted_ids(const u_wsk_dw& dw) {
    std::vector<int64_t> out;
    for (int64_t r = 1; r <= dw.rowcount(); ++r) out.push_back(dw.of_get_id(r));
    std::sort(out.begin(), out.end());
    return out;
  }
  // Header texts and tab orders of the grid's columns, left to right.
  static std::vector<std::string> headers(const u_wsk_dw& dw) {
    std::vector<std::string> out;
    for (const dv_column& c : dw.dv().definition().columns) out.push_back(c.header);
    return out;
  }
  static std::vector<int> tab_orders(const u_wsk_dw& dw) {
    std::vector<int> out;
    for (int c = 0; c < int(dw.dv().definition().columns.size()); ++c)
      out.push_back(dw.dv().tab_sequence(c));
    return out;
  }
};

using ids_t = std::vector<int64_t>;
