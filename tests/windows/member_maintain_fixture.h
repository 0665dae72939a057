#pragma once
// Shared by the member list tests: a shop database with members of shops 2 and 3, the terminal's
// ini file in a temporary current directory, and opening a list window the way the host does.

#include <QAbstractItemModel>
#include <QTableView>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <unistd.h>

#include "framework/runtime/runtime.h"
#include "framework/ui/u_wsk_dw.h"
#include "framework/ui/w_base.h"
#include "framework/ui/window_registry.h"
#include "support/test_db.h"
#include "support/modal_watch.h"
#include "support/window_helpers.h"

class member_list_test : public db_test {
 protected:
  void SetUp() override {
    db_test::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    dir_ = std::filesystem::temp_directory_path() /
           ("member_list_" + std::to_string(::getpid()) + "_" + backend_name(kind()));
    std::filesystem::create_directories(dir_ / "util");
    runtime::set_current_directory(dir_.string());
    write_ini("[Site]\nID=2\n");
    exec("INSERT INTO t_member_level (levelid, levelname) VALUES (1, '普通会员'), (2, '金卡会员')");
    exec("INSERT INTO t_member (memberid, memberno, membername, siteid, levelid, birthday, notes) "
         "VALUES (1, '1001', '张三', 2, 1, 19700620, 'a'), (2, '1002', '李四', 2, 2, 0, 'b'), "
         "(3, '', '王五', 2, 1, NULL, 'c'), (4, 'a\"b\\c', '赵六', 2, 2, 20090230, 'd'), "
         "(5, '1001', '钱七', 3, 1, 99999999, 'e')");
    runtime::take_shown_boxes();
  }
  void TearDown() override {
    watch_.stop();
    runtime::set_current_directory(std::nullopt);
    runtime::set_now(std::nullopt);
    runtime::script_answers({});
    if (!dir_.empty()) std::filesystem::remove_all(dir_);
    db_test::TearDown();
  }

  void write_ini(const std::string& text) {
    std::ofstream(dir_ / "util" / "syncclient.ini") << text;
  }
  // Sets a row of t_sys_param; nullopt removes it; "NULL" stores a NULL value.
  void set_param(const std::string& name, std::optional<std::string> v) {
    exec("DELETE FROM t_sys_param WHERE paramname = :n", {name});
    if (v) exec("INSERT INTO t_sys_param (paramname, currentvalue) VALUES (:n, " + *v + ")", {name});
  }

  template <class W>
  std::unique_ptr<W> open(const std::string& class_name) {
    return open_as_host<W>(class_name);
  }

  // memberids of the grid's rows, in order.
  static std::vector<int64_t> ids(u_wsk_dw& dw) {
    std::vector<int64_t> out;
    for (int64_t r = 1; r <= dw.rowcount(); ++r) out.push_back(dw.of_get_id(r));
    return out;
  }
  // The text the grid shows in a cell (row from 1).
  static std::string shown(u_wsk_dw& dw, int64_t row, const std::string& column) {
    QAbstractItemModel* m = dw.grid()->model();
    const int col = dw.dv().definition().column_index(column);
    return m->data(m->index(int(row - 1), col), Qt::DisplayRole).toString().toStdString();
  }
  static int64_t row_of(u_wsk_dw& dw, int64_t memberid) {
    return dw.find("memberid=" + std::to_string(memberid), 1, dw.rowcount());
  }

  // Runs fn on the modal dialog that the next statements open, then closes it. The class name
  // of the dialog and message.doubleparm at that moment are kept for the test to check.
  void close_next_modal(int wait_ms = 5000) {
    modal_seen_.clear();
    modal_parm_ = 0;
    watch_.start<QWidget>(
        [this](QWidget& m) {
          modal_seen_ = m.objectName().toStdString();
          modal_parm_ = message.doubleparm;
        },
        after_act::close, wait_ms);
  }
  std::string modal_seen_;
  double modal_parm_ = 0;
  modal_watch watch_;

 private:
  std::filesystem::path dir_;
};
