// w_choose_member as the host uses it: open with a search text, read message.doubleparm once the
// call has returned. Which members are offered, the points column, the one-match return and the
// ways of confirming or cancelling.

#include <QColor>
#include <QTableView>

#include "framework/ui/window_registry.h"
#include "lookup/w_choose_member.h"
#include "windows/lookup_fixture.h"

namespace {

using ids_t = std::vector<int64_t>;

class lookup_choose_member : public lookup_test {
 protected:
  // The members the dialog lists for text; it is cancelled then (the text must not match
  // exactly one member, or the dialog closes before anyone sees it).
  ids_t listed(const std::string& text) {
    ids_t out;
    const bool seen = with_modal<w_choose_member>(
        [&] { open_window_text("w_choose_member", text); },
        [&](w_choose_member& w) {
          out = sorted_ids(*w.dw_1);
          click(w.cb_cancel);
        });
    EXPECT_TRUE(seen) << text;
    return out;
  }

  // Opens with text, runs act on the open dialog, answers message.doubleparm after the call.
  double answer(const std::string& text, const std::function<void(w_choose_member&)>& act) {
    message.doubleparm = 42;  // whatever an earlier call left there
    EXPECT_TRUE(with_modal<w_choose_member>([&] { open_window_text("w_choose_member", text); }, act));
    return message.doubleparm;
  }
};

TEST_P(lookup_choose_member, matches_the_id_as_text_and_number_or_name_as_prefix) {
  add_member(123, "A001", "张三");
  add_member(1234, "B002", "李四");
  add_member(5, "123456", "王五");
  add_member(6, "X9", "123号");
  add_member(7, "1230", "钱七", 1);  // voided
  add_member(8, "1239", "孙八", 0);
  add_member(9, "C1", "周九");
  // 1234 is not found through its id; a voided member never, not even by its exact id.
  EXPECT_EQ(listed("123"), (ids_t{5, 6, 8, 123}));
  EXPECT_EQ(listed("7"), ids_t{});
  EXPECT_EQ(listed("1234 "), ids_t{});  // the text is used as given, not trimmed
  EXPECT_EQ(listed("a001"), ids_t{});   // case counts alike on both backends
  EXPECT_EQ(boxes_shown(), "");
}

TEST_P(lookup_choose_member, search_text_is_bound_with_only_percent_and_underscore_as_wildcards) {
  add_member(20, "AB%1", "甲");
  add_member(21, "ABC", "乙");
  add_member(22, "a\\b", "O'Brien");
  add_member(23, "a\\bc", "O'Neil");
  add_member(24, "ab", "丙");
  add_member(25, nullptr, nullptr);
  add_member(26, nullptr, "无号");
  add_member(27, "N1", nullptr);
  add_member(28, "N2", "丁", 1);
  EXPECT_EQ(listed("AB%"), (ids_t{20, 21}));
  EXPECT_EQ(listed("AB_"), (ids_t{20, 21}));
  EXPECT_EQ(listed("a\\b"), (ids_t{22, 23}));  // a backslash is itself, not an escape
  EXPECT_EQ(listed("O'"), (ids_t{22, 23}));
  EXPECT_EQ(listed("\"A"), ids_t{});
  EXPECT_EQ(listed("' OR '1'='1"), ids_t{});
  EXPECT_EQ(listed("x'; DELETE FROM t_member; --"), ids_t{});
  EXPECT_EQ(listed(std::string(1000, 'A')), ids_t{});
  // Empty text: every member not voided that has a number or a name.
  EXPECT_EQ(listed(""), (ids_t{20, 21, 22, 23, 24, 26, 27}));
  EXPECT_EQ(row_count("t_member"), 9);
  EXPECT_EQ(boxes_shown(), "");
}

TEST_P(lookup_choose_member, points_column_divides_by_member_rate) {
  exec("INSERT INTO t_member_level (levelid, levelname) VALUES (2, '金卡会员')");
  add_member(30, "R1", "甲", nullptr, "155.00", 2);
  add_member(31, "R2", "乙", nullptr, "0.00");
  // The points and the amount of member 30 for the MEMBER_RATE row given.
  auto rate_of_30 = [&](std::optional<std::string> param, std::string* amount_text = nullptr,
                        std::string* level_text = nullptr) {
    set_param("MEMBER_RATE", param);
    std::optional<decimal> rate;
    answer("R", [&](w_choose_member& w) {
      const int64_t row = w.dw_1->find("memberid=30", 1, w.dw_1->rowcount());
      rate = w.dw_1->getitemnumber(row, "rate");
      QAbstractItemModel* m = w.dw_1->grid()->model();
      const auto& def = w.dw_1->dv().definition();
      auto text = [&](const char* col) {
        return m->data(m->index(int(row - 1), def.column_index(col))).toString().toStdString();
      };
      if (amount_text) *amount_text = text("amountconsumed");
      if (level_text) *level_text = text("levelid");
      click(w.cb_cancel);
    });
    return rate;
  };
  std::string amount, level;
  EXPECT_EQ(rate_of_30("0", &amount, &level), decimal::parse("155"));
  EXPECT_EQ(amount, "155.00");
  EXPECT_EQ(level, "2");  // the level's number, not its name
  EXPECT_EQ(rate_of_30("10"), decimal::parse("15.5"));
  EXPECT_EQ(rate_of_30("4"), decimal::parse("38.75"));
  EXPECT_EQ(rate_of_30(std::nullopt), std::nullopt);
  EXPECT_EQ(rate_of_30("NULL"), std::nullopt);
}

TEST_P(lookup_choose_member, one_match_is_returned_at_once) {
  add_member(123, "A001", "张三");
  add_member(124, "B001", "李四");
  message.doubleparm = 42;
  EXPECT_EQ(open_window_text("w_choose_member", "A0"), nullptr);
  EXPECT_EQ(message.doubleparm, 123);
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  // By id: exactly "124".
  EXPECT_EQ(open_window_text("w_choose_member", "124"), nullptr);
  EXPECT_EQ(message.doubleparm, 124);
}

TEST_P(lookup_choose_member, cancel_answers_zero_and_ok_takes_the_current_row) {
  add_member(40, "M40", "甲");
  add_member(41, "M41", "乙");
  EXPECT_EQ(answer("M", [](w_choose_member& w) { click(w.cb_cancel); }), 0);

  // No match: OK takes nobody and the dialog stays open; Cancel then answers 0.
  bool stayed = false;
  EXPECT_EQ(answer("none", [&](w_choose_member& w) {
              click(w.cb_ok);
              stayed = w.isVisible();
              click(w.cb_cancel);
            }),
            0);
  EXPECT_TRUE(stayed);

  int64_t second = 0;
  const double answered = answer("M", [&](w_choose_member& w) {
    ASSERT_TRUE(click_cell(*w.dw_1, 2, "memberno"));
    second = w.dw_1->of_get_id(2);
    click(w.cb_ok);
  });
  EXPECT_NE(second, 0);
  EXPECT_EQ(answered, double(second));
}

TEST_P(lookup_choose_member, enter_and_double_click_confirm_the_current_row) {
  add_member(40, "M40", "甲");
  add_member(41, "M41", "乙");
  add_member(42, "M42", "丙");
  int64_t expected = 0;
  QColor current_colour;
  double answered = answer("M", [&](w_choose_member& w) {
    QAbstractItemModel* m = w.dw_1->grid()->model();
    current_colour = m->data(m->index(0, 1), Qt::BackgroundRole).value<QColor>();
    ASSERT_TRUE(click_cell(*w.dw_1, 2, "memberno"));
    expected = w.dw_1->of_get_id(2);
    press_key(w.dw_1->grid(), Qt::Key_Return);
  });
  EXPECT_EQ(current_colour, QColor(255, 255, 0));
  EXPECT_NE(expected, 0);
  EXPECT_EQ(answered, double(expected));

  // Below the last row: the current row is confirmed, not the row under the pointer.
  answered = answer("M", [&](w_choose_member& w) {
    ASSERT_TRUE(click_cell(*w.dw_1, 3, "memberno"));
    expected = w.dw_1->of_get_id(3);
    double_click_row(*w.dw_1, 0);
  });
  EXPECT_NE(expected, 0);
  EXPECT_EQ(answered, double(expected));
  // The keyboard starts in the list, not on a button: Down and Enter take the second row.
  answered = answer("M", [&](w_choose_member& w) {
    expected = w.dw_1->of_get_id(2);
    press_key(&w, Qt::Key_Down);
    press_key(&w, Qt::Key_Return);
  });
  EXPECT_NE(expected, 0);
  EXPECT_EQ(answered, double(expected));
}

INSTANTIATE_BOTH_BACKENDS(lookup_choose_member);

}  // namespace
