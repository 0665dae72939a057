// The member level drop-down of the member list when its table cannot be read: the window says
// so, lists the members with their stored level codes, and shows the level names again once a
// retrieve can read them.

#include "member/w_member_maintain.h"
#include "windows/member_maintain_fixture.h"

namespace {

using member_level_dropdown = member_list_test;

TEST_P(member_level_dropdown, an_unreadable_level_table_is_reported_and_codes_shown) {
  make_unreadable("t_member_level");
  auto w = open<w_member_maintain>("w_member_maintain");
  ASSERT_TRUE(w);
  u_wsk_dw& dw = *w->dw_1;
  const std::vector<std::string> said = box_texts(shown_boxes());
  ASSERT_EQ(said.size(), 1u);
  EXPECT_EQ(said[0].rfind("读取下拉列表失败：\nthe drop-down dw_member_levelid of column levelid: ", 0),
            0u) << said[0];
  ASSERT_EQ(dw.rowcount(), 5);
  EXPECT_EQ(shown(dw, row_of(dw, 2), "levelid"), "2");

  make_readable("t_member_level");
  press_key(w.get(), Qt::Key_F5);
  EXPECT_TRUE(shown_boxes().empty());
  EXPECT_EQ(shown(dw, row_of(dw, 2), "levelid"), "金卡会员");
  EXPECT_EQ(shown(dw, row_of(dw, 1), "levelid"), "普通会员");
}

INSTANTIATE_BOTH_BACKENDS(member_level_dropdown);

}  // namespace
