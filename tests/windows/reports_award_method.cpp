// w_member_award_method: every award method with its row number, read afresh at each opening;
// OK saves what was typed (a failed save keeps the dialog open), Cancel asks about edits.

#include "award/w_member_award_method.h"
#include "windows/reports_fixture.h"
#include "support/cell_checks.h"

namespace {

class award_method_dialog : public reports_test {
 protected:
  void add_methods() {
    exec("INSERT INTO t_member_award_method (methodid, mdname, mdintegral, notes) VALUES "
         "(30, '电饭煲', 1000, NULL), (10, '精美雨伞', 150, '限领一次'), (20, '保温杯', 300, '')");
  }
  std::unique_ptr<w_member_award_method> open_dialog() {
    return open<w_member_award_method>("w_member_award_method");
  }
  // A column of the stored method, as text.
  std::string stored(int64_t methodid, const std::string& column) {
    return scalar_text("SELECT " + column + " FROM t_member_award_method WHERE methodid = :id",
                       {value(methodid)});
  }
  static int64_t row_of(u_wsk_dw& dw, int64_t methodid) {
    return dw.find("methodid=" + std::to_string(methodid), 1, dw.rowcount());
  }
};

TEST_P(award_method_dialog, lists_every_method_numbered_down_the_grid) {
  add_methods();
  auto w = open_dialog();
  ASSERT_TRUE(w);
  EXPECT_EQ(w->title(), "会员奖励方案");
  EXPECT_EQ(w->cb_ok->text().toStdString(), "确定");
  EXPECT_EQ(w->cb_cancel->text().toStdString(), "取消");
  EXPECT_EQ(headers(*w->dw_1), (std::vector<std::string>{"序号", "方案代号", "名称", "积分", "备注"}));
  EXPECT_EQ(tab_orders(*w->dw_1), (std::vector<int>{0, 10, 20, 30, 40}));
  ASSERT_EQ(w->dw_1->rowcount(), 3);
  EXPECT_EQ(sorted_ids(*w->dw_1), (ids_t{10, 20, 30}));
  ASSERT_EQ(w->dw_1->setsort("methodid D"), 1);
  ASSERT_EQ(w->dw_1->sort(), 1);
  for (int64_t r = 1; r <= 3; ++r) {
    EXPECT_EQ(number_in(w->dw_1->getitemnumber(r, "xh")).to_long(), r);
    EXPECT_EQ(w->dw_1->of_get_id(r), 40 - 10 * r);
  }
  EXPECT_EQ(w->dw_1->getitemstring(row_of(*w->dw_1, 10), "notes"), "限领一次");
  EXPECT_GE(w->dw_1->getrow(), 1);

  // A new opening reads the table again.
  click(w->cb_ok);
  EXPECT_TRUE(w->is_closed());
  exec("INSERT INTO t_member_award_method (methodid, mdname, mdintegral) VALUES (40, '牙刷', 500)");
  auto again = open_dialog();
  ASSERT_TRUE(again);
  EXPECT_EQ(sorted_ids(*again->dw_1), (ids_t{10, 20, 30, 40}));
}

TEST_P(award_method_dialog, an_empty_table_gives_an_empty_grid) {
  auto w = open_dialog();
  ASSERT_TRUE(w);
  EXPECT_EQ(w->dw_1->rowcount(), 0);
  EXPECT_EQ(w->dw_1->of_retrieve(), 0);
  EXPECT_EQ(w->kpo_default(), 0);
  EXPECT_TRUE(shown_boxes().empty());
}

TEST_P(award_method_dialog, ok_saves_the_typed_cells_and_closes) {
  add_methods();
  auto w = open_dialog();
  ASSERT_TRUE(w);
  u_wsk_dw& dw = *w->dw_1;
  ASSERT_TRUE(type_into_cell(dw, row_of(dw, 20), "mdname", "不锈钢保温杯"));
  // A negative award would raise a member's points at redemption: the cell refuses it.
  ASSERT_TRUE(type_into_cell(dw, row_of(dw, 20), "mdintegral", "-5"));
  EXPECT_EQ(box_texts(shown_boxes()), std::vector<std::string>{"积分：不能小于 0"});
  ASSERT_TRUE(type_into_cell(dw, row_of(dw, 20), "mdintegral", "350"));
  ASSERT_TRUE(type_into_cell(dw, row_of(dw, 30), "notes", "每人限领一次"));
  click(w->cb_ok);
  EXPECT_TRUE(w->is_closed());
  EXPECT_TRUE(shown_boxes().empty());
  EXPECT_EQ(stored(20, "mdname"), "不锈钢保温杯");
  EXPECT_EQ(stored(20, "mdintegral"), "350");
  EXPECT_EQ(stored(30, "notes"), "每人限领一次");
  EXPECT_EQ(stored(10, "mdname"), "精美雨伞");
}

// Typing right after a second click in the current row edits that method, at once or at a
// person's pace; nothing typed moves the current row.
TEST_P(award_method_dialog, typing_after_a_click_on_the_current_row_edits_that_method) {
  add_methods();
  auto w = open_dialog();
  ASSERT_TRUE(w);
  u_wsk_dw& dw = *w->dw_1;
  ASSERT_TRUE(click_cell(dw, row_of(dw, 20), "mdname"));
  ASSERT_TRUE(type_into_cell(dw, row_of(dw, 20), "notes", "限两次", 60));
  ASSERT_TRUE(type_into_cell(dw, row_of(dw, 20), "mdintegral", "1500"));
  EXPECT_EQ(dw.of_get_id(), 20);
  click(w->cb_ok);
  EXPECT_TRUE(w->is_closed());
  EXPECT_EQ(stored(20, "notes"), "限两次");
  EXPECT_EQ(stored(20, "mdintegral"), "1500");
  EXPECT_EQ(stored(10, "notes"), "限领一次");
  EXPECT_EQ(stored(30, "mdintegral"), "1000");
}

TEST_P(award_method_dialog, a_failed_save_is_reported_and_keeps_the_dialog_open) {
  add_methods();
  auto w = open_dialog();
  ASSERT_TRUE(w);
  u_wsk_dw& dw = *w->dw_1;
  // Two methods with one code: the database refuses, nothing is written.
  ASSERT_TRUE(type_into_cell(dw, row_of(dw, 30), "mdname", "电压力锅"));
  ASSERT_TRUE(type_into_cell(dw, row_of(dw, 20), "methodid", "10"));
  click(w->cb_ok);
  EXPECT_FALSE(w->is_closed());
  const std::vector<std::string> texts = box_texts(shown_boxes());
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_NE(texts[0].find("方案代号 10 已存在"), std::string::npos) << texts[0];
  EXPECT_EQ(texts[0].find("constraint"), std::string::npos) << texts[0];
  EXPECT_EQ(stored(30, "mdname"), "电饭煲");
  EXPECT_EQ(row_count("t_member_award_method"), 3);
  EXPECT_EQ(dw.getitemstring(dw.find("mdname=\"电压力锅\"", 1, 3), "mdname"), "电压力锅");

  // Another terminal changed the row meanwhile: a conflict, reported the same way.
  ASSERT_TRUE(type_into_cell(dw, dw.find("mdname=\"保温杯\"", 1, 3), "methodid", "20"));
  exec("UPDATE t_member_award_method SET mdname = '别处改过' WHERE methodid = 30");
  click(w->cb_ok);
  EXPECT_FALSE(w->is_closed());
  EXPECT_EQ(shown_boxes().size(), 1u);
  EXPECT_EQ(stored(30, "mdname"), "别处改过");
}

TEST_P(award_method_dialog, cancel_with_edits_asks_whether_to_save) {
  add_methods();
  auto w = open_dialog();
  ASSERT_TRUE(w);
  u_wsk_dw& dw = *w->dw_1;
  ASSERT_TRUE(type_into_cell(dw, row_of(dw, 10), "mdintegral", "120"));

  answer_next_boxes({3});  // cancel: stay
  click(w->cb_cancel);
  EXPECT_FALSE(w->is_closed());
  auto boxes = shown_boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "是否保存所做的修改？");

  answer_next_boxes({2});  // no: the edits are dropped
  click(w->cb_cancel);
  EXPECT_TRUE(w->is_closed());
  EXPECT_EQ(stored(10, "mdintegral"), "150");

  auto w2 = open_dialog();
  ASSERT_TRUE(w2);
  shown_boxes();
  ASSERT_TRUE(type_into_cell(*w2->dw_1, row_of(*w2->dw_1, 10), "mdintegral", "120"));
  answer_next_boxes({1});  // yes: saved, then closed
  click(w2->cb_cancel);
  EXPECT_TRUE(w2->is_closed());
  EXPECT_EQ(stored(10, "mdintegral"), "120");

  // Without edits, Cancel just closes.
  auto w3 = open_dialog();
  ASSERT_TRUE(w3);
  shown_boxes();
  click(w3->cb_cancel);
  EXPECT_TRUE(w3->is_closed());
  EXPECT_TRUE(shown_boxes().empty());
}

INSTANTIATE_BOTH_BACKENDS(award_method_dialog);

}  // namespace
