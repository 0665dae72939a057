// w_member_maintain: the save sequence (empty member codes, phone lengths under MOBILE_CHECK, the
// update's own result and failures), entries the cells refuse, and the open action that shows
// the member form.

#include <QAction>

#include "member/w_member_maintain.h"
#include "windows/member_maintain_fixture.h"

namespace {

using member_maintain_save = member_list_test;

TEST_P(member_maintain_save, empty_member_codes_are_asked_about_from_the_last_row_up) {
  auto w = open<w_member_maintain>("w_member_maintain");
  ASSERT_TRUE(w);
  u_wsk_dw& dw = *w->dw_1;
  // Nothing changed: nothing is checked, nothing asked.
  EXPECT_EQ(w->kpo_save(1), 1);
  EXPECT_TRUE(shown_boxes().empty());

  for (int i = 0; i < 2; ++i) {
    ASSERT_TRUE(click_tool(w->toolbar, w->toolbar->act_insert));
    ASSERT_TRUE(type_into_cell(dw, dw.rowcount(), "notes", "new " + std::to_string(i)));
  }
  ASSERT_EQ(dw.rowcount(), 7);
  answer_next_boxes({1, 2});  // OK on row 7, Cancel on row 6
  EXPECT_EQ(w->kpo_save(1), -1);
  const auto boxes = shown_boxes();
  ASSERT_EQ(boxes.size(), 2u);
  expect_box(boxes[0], {"提示：", "第7行会员代号为空，是否删除该行？", mb_icon::information,
                        mb_buttons::okcancel, 1});
  EXPECT_EQ(boxes[1].text, "第6行会员代号为空，是否删除该行？");
  EXPECT_EQ(dw.rowcount(), 6);  // the row deleted by OK stays deleted
  EXPECT_EQ(dw.getitemstring(6, "notes").value_or(""), "new 0");
  EXPECT_EQ(row_count("t_member"), 5);

  // OK on the last one: the new row goes, nothing else is left to write.
  answer_next_boxes({1});
  EXPECT_EQ(w->kpo_save(1), 1);
  EXPECT_EQ(dw.rowcount(), 5);
  EXPECT_EQ(row_count("t_member"), 5);
}

// A day that does not exist and a pasted NUL byte are refused in the cell, naming the column.
TEST_P(member_maintain_save, cells_refuse_days_that_do_not_exist_and_nul_bytes) {
  auto w = open<w_member_maintain>("w_member_maintain");
  ASSERT_TRUE(w);
  const int64_t r = row_of(*w->dw_1, 1);
  ASSERT_TRUE(type_into_cell(*w->dw_1, r, "adddate", "99999999"));
  ASSERT_TRUE(click_cell(*w->dw_1, r, "notes"));
  press_key(w->dw_1->grid(), Qt::Key_F2);  // the editor opens with the text selected
  paste(w->dw_1->grid(), QString::fromStdString(std::string("停用\0旧卡", 13)));
  press_key(w->dw_1->grid(), Qt::Key_Return);
  const std::vector<std::string> said = box_texts(shown_boxes());
  ASSERT_EQ(said.size(), 2u);
  EXPECT_EQ(said[0].rfind("增加日期：", 0), 0u) << said[0];
  EXPECT_EQ(said[1].rfind("备注：", 0), 0u) << said[1];
  EXPECT_EQ(w->kpo_save(1), 1);  // nothing changed
}

// An entry still in its editor when Ctrl+S comes is refused: the save stops, nothing is written.
TEST_P(member_maintain_save, a_refused_pending_entry_stops_the_save_and_keeps_the_edits) {
  auto w = open<w_member_maintain>("w_member_maintain");
  ASSERT_TRUE(w);
  ASSERT_TRUE(type_into_cell(*w->dw_1, row_of(*w->dw_1, 1), "notes", "新备注"));
  ASSERT_TRUE(click_cell(*w->dw_1, row_of(*w->dw_1, 2), "adddate"));
  type_text(w->dw_1->grid(), "99999999");
  press_key(w->dw_1->grid(), Qt::Key_S, Qt::ControlModifier);
  const std::vector<std::string> said = box_texts(shown_boxes());
  ASSERT_EQ(said.size(), 1u);
  EXPECT_EQ(said[0].rfind("增加日期：", 0), 0u) << said[0];
  EXPECT_EQ(scalar_long("SELECT COUNT(*) FROM t_member WHERE memberid = 1 AND notes = 'a'"), 1);
  EXPECT_EQ(w->dw_1->modifiedcount(), 1);
}

TEST_P(member_maintain_save, mobile_check_rejects_phone_numbers_of_the_wrong_byte_length) {
  set_param("MOBILE_CHECK", "1");
  auto w = open<w_member_maintain>("w_member_maintain");
  ASSERT_TRUE(w);
  u_wsk_dw& dw = *w->dw_1;
  const int64_t r = row_of(dw, 1);
  const std::string area_msg = "请您填好区号及正确的电话号码位数 ";
  const std::string mobile_msg = "请您填好正确的电话号码位数 ";
  struct step {
    const char* column;
    std::string text;
    int result;
  };
  const step steps[] = {
      {"contactphone", "0731-1234567", -1}, {"contactphone", "1234567", -1},
      {"contactphone", "一二三四五六", -1},  // 12 bytes
      {"contactphone", "一二三四五6", 1},    // 11 bytes
      {"contactphone", "07311234567", 1},   {"mobile", "1380013800", -1},
      {"mobile", "一二三四五", -1},         {"mobile", std::string(11, ' '), 1},
      {"mobile", "13800138000", 1},         {"contactphone", "", 1},
  };
  for (const step& s : steps) {
    ASSERT_TRUE(type_into_cell(dw, r, s.column, s.text)) << s.text;
    EXPECT_EQ(w->kpo_save(1), s.result) << s.column << " '" << s.text << "'";
    const auto said = box_texts(shown_boxes());
    if (s.result < 0) {
      EXPECT_EQ(said, std::vector<std::string>{std::string(s.column) == "mobile" ? mobile_msg
                                                                                 : area_msg});
      EXPECT_EQ(dw.modifiedcount(), 1);  // the row keeps the edit
    } else {
      EXPECT_TRUE(said.empty()) << said[0];
      EXPECT_EQ(scalar_text(std::string("SELECT ") + s.column + " FROM t_member WHERE memberid = 1"),
                s.text);
    }
  }

  // Every row is checked, changed or not; the message names the window.
  exec("UPDATE t_member SET mobile = '123' WHERE memberid = 2");
  ASSERT_GE(dw.of_retrieve(), 0);
  EXPECT_EQ(w->kpo_save(1), 1);  // nothing changed: nothing checked
  ASSERT_TRUE(type_into_cell(dw, row_of(dw, 1), "notes", "checked"));
  EXPECT_EQ(w->kpo_save(1), -1);
  const auto boxes = shown_boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].title, "会员维护");
  EXPECT_EQ(boxes[0].text, mobile_msg);

  // Without the switch no length counts.
  set_param("MOBILE_CHECK", "NULL");
  EXPECT_EQ(w->kpo_save(1), 1);
  EXPECT_EQ(scalar_text("SELECT notes FROM t_member WHERE memberid = 1"), "checked");
}

TEST_P(member_maintain_save, a_failed_write_keeps_every_edit_and_writes_nothing) {
  auto w = open<w_member_maintain>("w_member_maintain");
  ASSERT_TRUE(w);
  u_wsk_dw& dw = *w->dw_1;
  ASSERT_TRUE(type_into_cell(dw, row_of(dw, 1), "notes", "mine"));
  ASSERT_TRUE(type_into_cell(dw, row_of(dw, 2), "company", "公司"));
  // Another terminal changes member 1 meanwhile.
  auto other = connect_another();
  ASSERT_EQ(other->execute("UPDATE t_member SET notes = 'theirs' WHERE memberid = 1"), 0);
  ASSERT_EQ(other->commit(), 0);

  EXPECT_EQ(w->kpo_save(1), -1);
  auto boxes = shown_boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].icon, mb_icon::stop);
  EXPECT_NE(boxes[0].text.find("会员号 1001、会员名称 张三 已被其他终端"), std::string::npos)
      << boxes[0].text;
  EXPECT_EQ(dw.getitemstring(row_of(dw, 1), "notes").value_or(""), "mine");
  EXPECT_EQ(dw.getitemstring(row_of(dw, 2), "company").value_or(""), "公司");
  EXPECT_EQ(dw.modifiedcount(), 2);
  EXPECT_EQ(scalar_text("SELECT notes FROM t_member WHERE memberid = 1"), "theirs");
  EXPECT_EQ(scalar("SELECT company FROM t_member WHERE memberid = 2").is_null(), true);

  // Reading the list again and repeating the edit saves it.
  ASSERT_GE(dw.of_retrieve(), 0);
  ASSERT_TRUE(type_into_cell(dw, row_of(dw, 1), "notes", "mine"));
  ASSERT_TRUE(click_tool(w->toolbar, w->toolbar->act_save));
  EXPECT_TRUE(shown_boxes().empty());
  EXPECT_EQ(dw.modifiedcount(), 0);
  EXPECT_EQ(scalar_text("SELECT notes FROM t_member WHERE memberid = 1"), "mine");
}

TEST_P(member_maintain_save, a_duplicate_member_code_is_refused_by_the_database) {
  set_param("MEMBER_MODIFY", "1");
  auto w = open<w_member_maintain>("w_member_maintain");
  ASSERT_TRUE(w);
  u_wsk_dw& dw = *w->dw_1;
  ASSERT_TRUE(type_into_cell(dw, row_of(dw, 2), "notes", "kept"));
  ASSERT_TRUE(click_tool(w->toolbar, w->toolbar->act_insert));
  const int64_t added = dw.rowcount();
  ASSERT_TRUE(type_into_cell(dw, added, "memberid", "1"));
  ASSERT_TRUE(type_into_cell(dw, added, "memberno", "2001"));

  EXPECT_EQ(w->kpo_save(1), -1);
  const auto boxes = shown_boxes();
  ASSERT_EQ(boxes.size(), 1u);
  // The same plain reason on both backends, the database's own words left out.
  EXPECT_NE(boxes[0].text.find("保存失败：会员代号 1 已存在"), std::string::npos) << boxes[0].text;
  EXPECT_EQ(boxes[0].text.find("UNIQUE"), std::string::npos) << boxes[0].text;
  EXPECT_EQ(dw.rowcount(), 6);
  EXPECT_EQ(dw.getitemstring(added, "memberno").value_or(""), "2001");
  EXPECT_EQ(scalar_text("SELECT notes FROM t_member WHERE memberid = 2"), "b");
  EXPECT_EQ(row_count("t_member"), 5);

  // With a free code the same rows are written.
  ASSERT_TRUE(type_into_cell(dw, added, "memberid", "6"));
  EXPECT_EQ(w->kpo_save(1), 1);
  EXPECT_EQ(scalar_text("SELECT memberno FROM t_member WHERE memberid = 6"), "2001");
  EXPECT_EQ(scalar_text("SELECT notes FROM t_member WHERE memberid = 2"), "kept");
  EXPECT_FALSE(scalar("SELECT lastupdated FROM t_member WHERE memberid = 6").is_null());
}

// A key typed at once (or at a person's pace) after a click on a cell of the current row edits
// that cell, beginning with the key: the grid's type-ahead used to move to the next row whose
// text began with it, and the rest of the typing went to that member.
TEST_P(member_maintain_save, typing_after_a_click_on_the_current_row_edits_that_member) {
  exec("INSERT INTO t_member (memberid, memberno, membername, siteid, contactphone, ail) VALUES "
       "(6, '1006', '孙八', 2, NULL, NULL), (7, '1007', '周九', 2, '0577-7654321', NULL), "
       "(97, '1097', '吴十', 2, NULL, '高血脂')");
  auto w = open<w_member_maintain>("w_member_maintain");
  ASSERT_TRUE(w);
  u_wsk_dw& dw = *w->dw_1;
  for (const int delay_ms : {0, 60}) {
    exec("UPDATE t_member SET contactphone = NULL WHERE memberid = 6");
    ASSERT_GE(dw.of_retrieve(), 0);
    ASSERT_TRUE(type_into(w->sle_1, "1006"));
    press_key(w->sle_1, Qt::Key_Return);  // the search makes member 6 current
    ASSERT_EQ(dw.of_get_id(), 6);
    ASSERT_TRUE(type_into_cell(dw, dw.getrow(), "contactphone", "05770000006", delay_ms));
    EXPECT_EQ(dw.of_get_id(), 6) << delay_ms;
    press_key(dw.grid(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(scalar_text("SELECT contactphone FROM t_member WHERE memberid = 6"), "05770000006")
        << delay_ms;
    EXPECT_EQ(scalar_text("SELECT contactphone FROM t_member WHERE memberid = 7"), "0577-7654321");
  }

  // A second click in the row: the first made member 4 current.
  ASSERT_TRUE(click_cell(dw, row_of(dw, 4), "membername"));
  ASSERT_TRUE(type_into_cell(dw, row_of(dw, 4), "ail", "高血压"));
  press_key(dw.grid(), Qt::Key_S, Qt::ControlModifier);
  EXPECT_EQ(scalar_text("SELECT ail FROM t_member WHERE memberid = 4"), "高血压");
  EXPECT_EQ(scalar_text("SELECT ail FROM t_member WHERE memberid = 97"), "高血脂");
  EXPECT_TRUE(shown_boxes().empty());
}

TEST_P(member_maintain_save, open_shows_the_member_form_for_the_current_row) {
  auto w = open<w_member_maintain>("w_member_maintain");
  ASSERT_TRUE(w);
  u_wsk_dw& dw = *w->dw_1;
  ASSERT_TRUE(click_cell(dw, row_of(dw, 2), "membername"));
  close_next_modal();
  ASSERT_TRUE(click_tool(w->toolbar, w->toolbar->act_open));
  EXPECT_EQ(modal_seen_, "w_member_info");
  EXPECT_EQ(modal_parm_, 2);

  close_next_modal();
  double_click_row(dw, row_of(dw, 4));
  EXPECT_EQ(modal_seen_, "w_member_info");
  EXPECT_EQ(modal_parm_, 4);

  // No row: nothing opens.
  set_param("MEMBER_SITE", "0");
  ASSERT_GE(dw.of_retrieve(), 0);
  close_next_modal(200);
  w->kpo_open();
  process_events();
  EXPECT_EQ(modal_seen_, "");
}

INSTANTIATE_BOTH_BACKENDS(member_maintain_save);

}  // namespace
