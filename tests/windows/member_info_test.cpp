// w_member_info over a real database: opening for a member, the order of Tab, refused input,
// the check boxes and the level drop-down, saving only what changed next to another terminal's
// change, a failed save, and a look at the dialog.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <filesystem>

#include "framework/runtime/runtime.h"
#include "framework/ui/window_registry.h"
#include "member/w_member_info.h"
#include "support/test_db.h"
#include "support/window_helpers.h"
#include "support/cell_checks.h"

namespace {

class member_info_test : public db_test {
 protected:
  void SetUp() override {
    db_test::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    exec("INSERT INTO t_member_level (levelid, levelname) VALUES (1, '普通会员'), (2, '银卡会员'), "
         "(3, '金卡会员')");
    exec("INSERT INTO t_member (memberid, memberno, membername, memberaddr, contactphone, "
         "lastupdated, amountconsumed, integral, age, sex, usercard, ail, company, notes, medcard, "
         "available, levelid, mobile, birthday, code, siteid, adddate, marry, jones, medical) "
         "VALUES (1234, '000123', '张三', '长沙市芙蓉区五一大道 88 号', '0731-8888', "
         "'2009-07-05 12:34:56', 155.5, 300, 39, '男', '430102197001011234', '无', "
         "'长沙市第一百货公司', '老会员', 1, 0, 2, '13800138000', 19700101, 'C-9', 2, 20080101, "
         "'已婚', '象棋、钓鱼', '青霉素')");
    exec("INSERT INTO t_member (memberid, memberno, membername) VALUES (1235, '000124', '李四')");
    shown_boxes();
  }
  void TearDown() override {
    w_.reset();
    runtime::script_answers({});
    db_test::TearDown();
  }

  w_member_info& open(double parm) {
    message.doubleparm = parm;
    w_.reset(dynamic_cast<w_member_info*>(create_window("w_member_info")));
    EXPECT_NE(w_, nullptr);
    w_->run_open_sequence();
    show_active(w_.get());
    return *w_;
  }
  std::string field_text(const std::string& column) {
    auto* line = qobject_cast<QLineEdit*>(w_->dw_1->field_widget(column));
    return line ? line->text().toStdString() : "<no line edit>";
  }
  std::unique_ptr<w_member_info> w_;
};

TEST_P(member_info_test, opens_the_member_of_the_truncated_parameter_with_every_field) {
  w_member_info& w = open(1234.9);
  EXPECT_EQ(w.il_memberid, 1234);
  EXPECT_EQ(w.title(), "会员资料修改");
  EXPECT_EQ(w.tab_1->tabText(0).toStdString(), "基本信息");
  EXPECT_TRUE(w.cb_help->isHidden());
  EXPECT_FALSE(w.cb_help->isEnabled());
  EXPECT_TRUE(w.p_sign->isHidden());
  EXPECT_EQ(field_text("memberid"), "1234");
  EXPECT_EQ(field_text("membername"), "张三");
  EXPECT_EQ(field_text("amountconsumed"), "155.50");
  EXPECT_EQ(field_text("lastupdated"), "2009-07-05 12:34:56");
  EXPECT_EQ(field_text("siteid"), "2");
  auto* medcard = qobject_cast<QCheckBox*>(w.dw_1->field_widget("medcard"));
  ASSERT_NE(medcard, nullptr);
  EXPECT_EQ(medcard->text().toStdString(), "是否医保卡");
  EXPECT_TRUE(medcard->isChecked());
  auto* level = qobject_cast<QComboBox*>(w.dw_1->field_widget("levelid"));
  ASSERT_NE(level, nullptr);
  EXPECT_EQ(level->count(), 3);
  EXPECT_EQ(level->currentText().toStdString(), "银卡会员");
  // The form has the keyboard focus, on the first field in tab order.
  EXPECT_EQ(focused_column(*w.dw_1), "membername");

  // A member that does not exist: an empty form, nothing to change, OK saves nothing.
  open(999);
  EXPECT_EQ(w_->dw_1->rowcount(), 0);
  EXPECT_EQ(field_text("membername"), "");
  EXPECT_EQ(w_->dw_1->field_widget("membername")->focusPolicy(), Qt::NoFocus);
  click(w_->cb_ok);
  EXPECT_TRUE(w_->is_closed());
}

TEST_P(member_info_test, tab_goes_through_the_fields_in_tab_order_skipping_read_only_ones) {
  w_member_info& w = open(1234);
  std::vector<std::string> seen{focused_column(*w.dw_1)};
  for (int i = 0; i < 22; ++i) {
    press_key(&w, Qt::Key_Tab);
    seen.push_back(focused_column(*w.dw_1));
  }
  const std::vector<std::string> expected{
      "membername", "memberno", "memberaddr", "contactphone", "amountconsumed", "integral",
      "age",        "sex",      "usercard",   "ail",          "company",        "notes",
      "medcard",    "available", "levelid",   "mobile",       "birthday",       "code",
      "adddate",    "marry",    "jones",      "medical",      "membername"};
  EXPECT_EQ(seen, expected);
  press_key(&w, Qt::Key_Backtab);
  EXPECT_EQ(focused_column(*w.dw_1), "medical");
  for (const char* ro : {"memberid", "lastupdated", "siteid"}) {
    EXPECT_EQ(w.dw_1->field_widget(ro)->focusPolicy(), Qt::NoFocus) << ro;
    EXPECT_FALSE(type_into_field(*w.dw_1, ro, "1")) << ro;
    EXPECT_EQ(focused_column(*w.dw_1), "medical") << ro;  // the click leaves the focus there
  }
  // A tab order given at run time: the form follows at once.
  EXPECT_EQ(w.dw_1->modify("siteid.TabSequence=5"), "");
  EXPECT_EQ(w.dw_1->modify("marry.TabSequence=0"), "");
  press_key(&w, Qt::Key_Tab);  // from the last field round to the first
  EXPECT_EQ(focused_column(*w.dw_1), "siteid");
  EXPECT_TRUE(type_into_field(*w.dw_1, "siteid", "7"));
  EXPECT_EQ(number_in(w.dw_1->getitemnumber(1, "siteid")).to_long(), 7);
  EXPECT_EQ(w.dw_1->field_widget("marry")->focusPolicy(), Qt::NoFocus);
}

TEST_P(member_info_test, refused_input_keeps_the_old_value_with_the_engines_message) {
  w_member_info& w = open(1234);
  ASSERT_TRUE(type_into_field(*w.dw_1, "integral", "3a0"));
  auto boxes = shown_boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].title, "会员资料修改");
  EXPECT_EQ(field_text("integral"), "300");
  EXPECT_EQ(number_in(w.dw_1->getitemnumber(1, "integral")).to_long(), 300);
  ASSERT_TRUE(type_into_field(*w.dw_1, "birthday", "20260230"));  // no such day
  EXPECT_EQ(box_texts(shown_boxes()).at(0).rfind("出生日期：", 0), 0u);
  EXPECT_EQ(field_text("birthday"), "19700101");

  // 31 Chinese characters are 62 GBK bytes: more than char(60) holds. 30 fit exactly.
  std::string name31, name30;
  for (int i = 0; i < 31; ++i) name31 += "张";
  for (int i = 0; i < 30; ++i) name30 += "李";
  ASSERT_TRUE(type_into_field(*w.dw_1, "membername", name31));
  EXPECT_EQ(shown_boxes().size(), 1u);
  EXPECT_EQ(w.dw_1->getitemstring(1, "membername").value_or(""), "张三");
  EXPECT_EQ(field_text("membername"), "张三");
  EXPECT_EQ(w.dw_1->modifiedcount(), 0);
  ASSERT_TRUE(type_into_field(*w.dw_1, "membername", name30));
  EXPECT_TRUE(shown_boxes().empty());
  EXPECT_EQ(w.dw_1->getitemstring(1, "membername").value_or(""), name30);
}

TEST_P(member_info_test, voiding_and_a_new_level_are_saved_by_ok) {
  w_member_info& w = open(1234);
  auto* available = qobject_cast<QCheckBox*>(w.dw_1->field_widget("available"));
  ASSERT_NE(available, nullptr);
  EXPECT_EQ(available->text().toStdString(), "做废");
  click(available);
  ASSERT_TRUE(type_into_field(*w.dw_1, "levelid", "金卡会员"));
  EXPECT_EQ(w.kpo_save(1), 0);
  EXPECT_EQ(scalar_long("SELECT available FROM t_member WHERE memberid = 1234"), 1);
  EXPECT_EQ(scalar_long("SELECT levelid FROM t_member WHERE memberid = 1234"), 3);
  // Nothing changed since: OK writes nothing, answers 0 and closes.
  click(w.cb_ok);
  EXPECT_TRUE(w.is_closed());
  EXPECT_TRUE(shown_boxes().empty());
}

TEST_P(member_info_test, saving_the_name_keeps_the_phone_another_terminal_changed) {
  w_member_info& w = open(1234);
  auto other = connect_another();
  ASSERT_EQ(other->execute("UPDATE t_member SET contactphone = '0731-9999', integral = 100 "
                           "WHERE memberid = 1234"),
            0);
  ASSERT_EQ(other->commit(), 0);
  ASSERT_TRUE(type_into_field(*w.dw_1, "membername", "张三丰"));
  click(w.cb_ok);
  EXPECT_TRUE(w.is_closed());
  EXPECT_EQ(scalar_text("SELECT membername FROM t_member WHERE memberid = 1234"), "张三丰");
  EXPECT_EQ(scalar_text("SELECT contactphone FROM t_member WHERE memberid = 1234"), "0731-9999");
  // The points lowered meanwhile are not written back either.
  EXPECT_EQ(scalar_long("SELECT integral FROM t_member WHERE memberid = 1234"), 100);
}

TEST_P(member_info_test, a_failed_save_answers_minus_1_keeps_the_dialog_and_the_edits) {
  w_member_info& w = open(1234);
  ASSERT_TRUE(type_into_field(*w.dw_1, "membername", "张三丰"));
  auto other = connect_another();
  ASSERT_EQ(other->execute("UPDATE t_member SET membername = '张老三' WHERE memberid = 1234"), 0);
  ASSERT_EQ(other->commit(), 0);
  EXPECT_EQ(w.kpo_default(), -1);
  click(w.cb_ok);
  EXPECT_FALSE(w.is_closed());
  const auto boxes = shown_boxes();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].title, "保存失败");
  EXPECT_EQ(field_text("membername"), "张三丰");
  EXPECT_EQ(scalar_text("SELECT membername FROM t_member WHERE memberid = 1234"), "张老三");
  answer_next_boxes({2});  // "no" to saving
  click(w.cb_cancel);
  EXPECT_TRUE(w.is_closed());
}

TEST_P(member_info_test, closing_with_changes_asks_whether_to_save_them) {
  w_member_info& w = open(1234);
  ASSERT_TRUE(type_into_field(*w.dw_1, "membername", "张三丰"));
  answer_next_boxes({3});  // cancel: the dialog stays with the edit
  press_key(&w, Qt::Key_Escape);
  EXPECT_FALSE(w.is_closed());
  EXPECT_EQ(field_text("membername"), "张三丰");
  answer_next_boxes({1});  // yes: saved, then closed
  click(w.cb_cancel);
  EXPECT_TRUE(w.is_closed());
  EXPECT_EQ(box_texts(shown_boxes()),
            (std::vector<std::string>{"是否保存所做的修改？", "是否保存所做的修改？"}));
  EXPECT_EQ(scalar_text("SELECT membername FROM t_member WHERE memberid = 1234"), "张三丰");
}

TEST_P(member_info_test, with_mobile_check_ok_refuses_the_phones_the_register_refuses) {
  exec("INSERT INTO t_sys_param (paramname, currentvalue) VALUES ('MOBILE_CHECK', 1)");
  w_member_info& w = open(1235);
  ASSERT_TRUE(type_into_field(*w.dw_1, "contactphone", "0731-1234567"));
  click(w.cb_ok);
  EXPECT_FALSE(w.is_closed());
  auto boxes = shown_boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].title, "会员资料修改");
  EXPECT_EQ(boxes[0].text, "请您填好区号及正确的电话号码位数 ");
  EXPECT_TRUE(scalar("SELECT contactphone FROM t_member WHERE memberid = 1235").is_null());

  ASSERT_TRUE(type_into_field(*w.dw_1, "contactphone", "07311234567"));
  ASSERT_TRUE(type_into_field(*w.dw_1, "mobile", "1380013800"));
  click(w.cb_ok);
  boxes = shown_boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "请您填好正确的电话号码位数 ");
  EXPECT_TRUE(scalar("SELECT mobile FROM t_member WHERE memberid = 1235").is_null());

  ASSERT_TRUE(type_into_field(*w.dw_1, "mobile", "13800138000"));
  click(w.cb_ok);
  EXPECT_TRUE(w.is_closed());
  EXPECT_TRUE(shown_boxes().empty());
  EXPECT_EQ(scalar_text("SELECT contactphone FROM t_member WHERE memberid = 1235"), "07311234567");
  EXPECT_EQ(scalar_text("SELECT mobile FROM t_member WHERE memberid = 1235"), "13800138000");
}

TEST_P(member_info_test, every_label_and_field_is_inside_the_form_and_wide_enough) {
  w_member_info& w = open(1234);
  const std::string dir = std::filesystem::temp_directory_path().string();
  EXPECT_TRUE(grab_png(&w, dir + "/w_member_info_" + backend_name(kind()) + ".png"));
  QWidget* form = w.dw_1->field_widget("membername")->parentWidget();
  for (const auto& c : w.dw_1->dv().definition().columns) {
    QWidget* f = w.dw_1->field_widget(c.name);
    ASSERT_NE(f, nullptr) << c.name;
    EXPECT_TRUE(form->rect().contains(f->geometry())) << c.name;
    if (auto* line = qobject_cast<QLineEdit*>(f))
      EXPECT_LE(line->fontMetrics().horizontalAdvance(line->text()) + 8, line->width()) << c.name;
    if (auto* check = qobject_cast<QCheckBox*>(f))
      EXPECT_LE(check->sizeHint().width(), check->width()) << c.name;
    if (QLabel* label = w.dw_1->field_label(c.name)) {
      EXPECT_TRUE(form->rect().contains(label->geometry())) << c.name;
      EXPECT_LE(label->sizeHint().width(), label->width()) << c.name;
      EXPECT_LE(label->geometry().right(), f->geometry().left()) << c.name;
    }
  }
  // The form fits in its control, and the control on its tab page.
  EXPECT_LE(form->width(), w.dw_1->width());
  EXPECT_LE(form->height(), w.dw_1->height());
  EXPECT_TRUE(w.tabpage_1->rect().contains(w.dw_1->geometry()));
}

INSTANTIATE_BOTH_BACKENDS(member_info_test);

}  // namespace
