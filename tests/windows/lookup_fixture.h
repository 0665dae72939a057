#pragma once
// Shared by the lookup window tests: rows of the member and article tables, and a way to act on
// a modal dialog while the host's open call waits for it.

#include <QApplication>
#include <functional>
#include <memory>
#include <optional>

#include "framework/runtime/runtime.h"
#include "framework/ui/u_wsk_dw.h"
#include "framework/ui/w_base.h"
#include "support/test_db.h"
#include "support/modal_watch.h"
#include "support/window_helpers.h"

class lookup_test : public db_test {
 protected:
  void SetUp() override {
    db_test::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    runtime::take_shown_boxes();
  }
  void TearDown() override {
    watch_.stop();
    runtime::script_answers({});
    db_test::TearDown();
  }

  void add_member(int64_t id, value memberno, value name, value available = nullptr,
                  const char* amount = "0.00", int64_t levelid = 1) {
    exec("INSERT INTO t_member (memberid, memberno, membername, available, amountconsumed, "
         "levelid, integral) VALUES (:id, :no, :name, :available, :amount, :level, 7)",
         {value(id), memberno, name, available, value(*decimal::parse(amount)), value(levelid)});
  }
  // A row of t_sys_param; nullopt removes it.
  void set_param(const std::string& name, std::optional<std::string> v) {
    exec("DELETE FROM t_sys_param WHERE paramname = :n", {name});
    if (v) exec("INSERT INTO t_sys_param (paramname, currentvalue) VALUES (:n, " + *v + ")", {name});
  }

  // Runs open(), which opens a modal dialog of class W; act runs once on the dialog while it is
  // shown and should close it. A dialog still open 5 s later is closed and fails the test.
  // Answers whether act ran (a dialog that closes itself at once is never seen).
  template <class W>
  bool with_modal(const std::function<void()>& open, const std::function<void(W&)>& act) {
    watch_.start<W>(
        [&act](W& w) {
          show_active(&w);
          act(w);
        },
        after_act::wait_for_close);
    open();
    watch_.stop();
    return watch_.seen();
  }

  // The texts of the boxes shown since the last call ("" when none was).
  static std::string boxes_shown() {
    std::string out;
    for (const msgbox_request& b : shown_boxes()) out += b.title + ": " + b.text + "\n";
    return out;
  }

  // ids of the grid's rows, sorted (the queries give no order).
  static std::vector<int64_t> sorted_ids(const u_wsk_dw& dw) {
    std::vector<int64_t> out;
    for (int64_t r = 1; r <= dw.rowcount(); ++r) out.push_back(dw.of_get_id(r));
    std::sort(out.begin(), out.end());
    return out;
  }

 private:
  modal_watch watch_;
};
