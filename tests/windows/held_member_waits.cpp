// A member's row held by another session (an open psql transaction, a terminal stuck mid-save)
// while this terminal saves or redeems: the wait ends after the lock wait limit, nothing is
// written, the edit stays for another try, and the user is told the same way on both backends.

#include <QAction>
#include <span>

#include "framework/db/lock_waits.h"
#include "windows/award_fixture.h"

namespace {

using namespace std::chrono_literals;
using held_member = award_test;

constexpr auto k_limit = 300ms;
const char* const k_holds[] = {"UPDATE t_member SET notes = notes WHERE memberid = 1",
                               "SELECT memberid FROM t_member WHERE memberid = 1 FOR UPDATE"};

// Holds member 1 on tr until it rolls back (SQLite, without row locks: its write lock). The server
// ends a holder idle for 8 s, so that a wait without end fails the test rather than hanging it.
bool hold(uo_transaction& tr, const char* sql) {
  if (tr.kind() == backend::postgres && tr.execute("SET idle_in_transaction_session_timeout = 8000"))
    return false;
  return tr.begin() == 0 && tr.execute(sql) == 0;
}

// Runs act; answers whether it took at least the limit but not without end.
bool waited_for_the_limit(const std::function<void()>& act) {
  const auto start = std::chrono::steady_clock::now();
  act();
  const auto took = std::chrono::steady_clock::now() - start;
  return took >= k_limit && took < 5s;
}

TEST_P(held_member, save_and_redemption_give_up_write_nothing_keep_the_edit_and_say_so) {
  const lock_wait_limits usual = current_lock_wait_limits();
  set_lock_wait_limits({k_limit, usual.statement});
  const int connected = sqlca.connect(url());  // a connection takes the limits when it opens
  set_lock_wait_limits(usual);
  ASSERT_EQ(connected, 0);
  // SQLite knows no FOR UPDATE: its writer holds the whole file anyway.
  for (const char* how : std::span(k_holds).first(kind() == backend::sqlite ? 1 : 2)) {
    auto list = open_as_host<w_single_dw_list>("w_member_maintain");
    ASSERT_TRUE(list);
    w_single_dw_list& w = *list;
    const int64_t row = row_with(*w.dw_1, "memberid", 1);
    const std::string notes = std::string("改") + how[0];
    ASSERT_TRUE(type_into_cell(*w.dw_1, row, "notes", notes));
    auto holder = connect_another();
    ASSERT_TRUE(hold(*holder, how));
    EXPECT_TRUE(waited_for_the_limit([&] { click_tool(w.toolbar, w.toolbar->act_save); }));
    EXPECT_EQ(box_texts(shown_boxes()), std::vector<std::string>{held_elsewhere_text});
    EXPECT_EQ(w.dw_1->getitemstring(row, "notes").value_or(""), notes);
    EXPECT_NE(scalar_text("SELECT notes FROM t_member WHERE memberid = 1"), notes);
    holder->rollback();
    click_tool(w.toolbar, w.toolbar->act_save);
    EXPECT_EQ(scalar_text("SELECT notes FROM t_member WHERE memberid = 1"), notes);

    ASSERT_TRUE(hold(*holder, how));
    in_next_dialog([&](w_member_award_control& d) {
      answer_next_boxes({1});
      EXPECT_TRUE(waited_for_the_limit(
          [&] { double_click_row(*d.dw_1, row_with(*d.dw_1, "mdintegral", 150)); }));
      EXPECT_FALSE(d.is_closed());
    });
    open_window("w_member_award_control", 1);
    holder->rollback();
    const std::vector<std::string> said = box_texts(shown_boxes());
    ASSERT_EQ(said.size(), 3u);
    EXPECT_NE(said[1].find("\n\n" + std::string(held_elsewhere_text) + "\n"), std::string::npos)
        << said[1];
    EXPECT_EQ(said[2], "会员奖励领取操作失败！请您重新操作");
    EXPECT_EQ(row_count("t_member_award_record") + row_count("t_member_award_to_up"), 0);
    EXPECT_EQ(points(1), 300);
  }
}

INSTANTIATE_BOTH_BACKENDS(held_member);

}  // namespace
