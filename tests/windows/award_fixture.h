#pragma once
// Shared by the award window tests: members with points around the cheapest award, award methods
// costing 0, 150 and 300 points, and acting inside the modal redemption dialog while it runs.

#include <functional>
#include <memory>

#include "award/w_member_award.h"
#include "award/w_member_award_control.h"
#include "framework/runtime/runtime.h"
#include "framework/ui/window_registry.h"
#include "support/test_db.h"
#include "support/modal_watch.h"
#include "support/window_helpers.h"

class award_test : public db_test {
 protected:
  void SetUp() override {
    db_test::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    exec("INSERT INTO t_member_level (levelid, levelname) VALUES (1, '普通会员')");
    exec("INSERT INTO t_member (memberid, memberno, membername, integral, amountconsumed, levelid) "
         "VALUES (1, '000123', '张三', 300, 12.5, 1), (2, '000200', '李四', 149, 0, 1), "
         "(3, '000300', '王五', NULL, 3, 1), (4, 'a\"b\\c', '赵六', 150, 0, 1)");
    exec("INSERT INTO t_member_award_method (methodid, mdname, mdintegral, notes) VALUES "
         "(1, '购物袋', 0, '免费'), (2, '毛巾', 150, '蓝色'), (3, '电饭煲', 300, '三升')");
    runtime::take_shown_boxes();
  }
  void TearDown() override {
    watch_.stop();
    runtime::set_now(std::nullopt);
    runtime::script_answers({});
    db_test::TearDown();
  }

  std::unique_ptr<w_member_award> open_list() {
    return open_as_host<w_member_award>("w_member_award");
  }

  // Runs act on the redemption dialog that the next statement opens (modally); closes it
  // afterwards if act left it open. watch_.seen() tells whether it came up at all.
  void in_next_dialog(std::function<void(w_member_award_control&)> act) {
    watch_.start<w_member_award_control>(std::move(act));
  }

  // The row of the list or dialog whose column holds the number.
  static int64_t row_with(u_wsk_dw& dw, const std::string& column, int64_t v) {
    return dw.find(column + "=" + std::to_string(v), 1, dw.rowcount());
  }
  int64_t points(int64_t memberid) {
    return scalar_long("SELECT integral FROM t_member WHERE memberid = :id", {memberid});
  }

  modal_watch watch_;
};
