// w_member_price_query: the level prices beside each article and the article-id search typed
// into sle_article.

#include <QLineEdit>
#include <QTableView>

#include "framework/ui/window_registry.h"
#include "lookup/w_member_price_query.h"
#include "windows/lookup_fixture.h"

namespace {

class lookup_price_query : public lookup_test {
 protected:
  void add_article(int64_t id, const char* udfcode, const char* barcode, const char* price) {
    exec("INSERT INTO t_article (articleid, udfcode, name, spec, manufacturer, unit, price, "
         "barcode, memberdiscount) VALUES (:id, :udf, '阿莫西林胶囊', '0.25g*24粒', '华北制药', '盒', "
         ":price, :bar, 1)",
         {value(id), value(udfcode), value(*decimal::parse(price)), value(barcode)});
  }
  void add_level_price(int64_t level, int64_t article, value price) {
    exec("INSERT INTO t_article_member_level_price (levelid, articleid, price) "
         "VALUES (:l, :a, :p)",
         {value(level), value(article), price});
  }
  static value price(const char* text) { return value(*decimal::parse(text)); }

  std::unique_ptr<w_member_price_query> open() {
    auto* w = dynamic_cast<w_member_price_query*>(create_window("w_member_price_query"));
    EXPECT_NE(w, nullptr);
    if (!w) return nullptr;
    w->run_open_sequence();
    show_active(w);
    return std::unique_ptr<w_member_price_query>(w);
  }
  static int64_t row_of(w_member_price_query& w, int64_t id) {
    return w.dw_1->find("articleid=" + std::to_string(id), 1, w.dw_1->rowcount());
  }
  // Replaces the edit's text as a user would, then presses Enter.
  static void type_and_enter(w_member_price_query& w, const std::string& text) {
    type_into(w.sle_article, text);
    press_key(w.sle_article, Qt::Key_Return);
  }
};

TEST_P(lookup_price_query, lists_every_article_with_its_level_prices_or_zero) {
  add_article(123, "YP77", "6900123", "12.3456");
  add_article(1234, "YP78", "6901234", "8.5");
  add_article(77, "YP79", "6900077", "3");
  add_level_price(2, 123, price("11.1111"));
  add_level_price(1, 1234, price("8.1"));
  add_level_price(2, 1234, price("8.2"));
  add_level_price(3, 1234, price("8.3"));
  add_level_price(1, 77, nullptr);        // a row without a price
  add_level_price(4, 77, price("1.5"));  // no column for level 4
  add_article(5, "YP80", "6900005", "2");  // no level price row at all
  auto w = open();
  ASSERT_TRUE(w);
  EXPECT_EQ(w->title(), "会员价格查询");
  // One row per article, as t_article lists them, whatever joins to it.
  std::vector<int64_t> ids;
  for (int64_t r = 1; r <= w->dw_1->rowcount(); ++r) ids.push_back(w->dw_1->of_get_id(r));
  EXPECT_EQ(ids, (std::vector<int64_t>{123, 1234, 77, 5}));
  auto prices = [&](int64_t id) {
    const int64_t row = row_of(*w, id);
    std::vector<std::string> out;
    for (const char* col : {"price", "aprice", "bprice", "cprice"})
      out.push_back(w->dw_1->getitemnumber(row, col).value_or(decimal{-1, 0}).to_string());
    return out;
  };
  using texts = std::vector<std::string>;
  EXPECT_EQ(prices(123), (texts{"12.3456", "0.0000", "11.1111", "0.0000"}));
  EXPECT_EQ(prices(1234), (texts{"8.5000", "8.1000", "8.2000", "8.3000"}));
  EXPECT_EQ(prices(77), (texts{"3.0000", "0.0000", "0.0000", "0.0000"}));
  EXPECT_EQ(prices(5), (texts{"2.0000", "0.0000", "0.0000", "0.0000"}));
  EXPECT_EQ(QApplication::focusWidget(), w->sle_article);
}

TEST_P(lookup_price_query, typed_id_moves_to_its_article_only_as_plain_digits) {
  add_article(123, "YP77", "6900123", "1");
  add_article(1234, "123", "6901234", "2");  // udfcode "123" must not be taken for article 123
  add_article(77, "YP79", "0123", "3");       // nor bar code "0123"
  auto w = open();
  ASSERT_TRUE(w);
  u_wsk_dw& dw = *w->dw_1;
  const int64_t r123 = row_of(*w, 123), r1234 = row_of(*w, 1234), r77 = row_of(*w, 77);

  ASSERT_TRUE(click_cell(dw, r77, "name"));
  type_and_enter(*w, " 123 ");
  EXPECT_EQ(dw.getrow(), r123);

  for (const char* miss : {"0123", "6900123", "YP77", "12 3", "abc", "", "1e3", "'"}) {
    ASSERT_TRUE(click_cell(dw, r77, "name"));
    type_and_enter(*w, miss);
    EXPECT_EQ(dw.getrow(), r77) << miss;
  }

  // Tabs and line breaks pasted with the number are dropped as they arrive: "63⏎" copied from
  // a list finds its article.
  ASSERT_TRUE(click_cell(dw, r77, "name"));
  click(w->sle_article);
  press_key(w->sle_article, Qt::Key_A, Qt::ControlModifier);
  paste(w->sle_article, "\t12\r\n3\n");
  EXPECT_EQ(w->sle_article->text(), "123");
  press_key(w->sle_article, Qt::Key_Return);
  EXPECT_EQ(dw.getrow(), r123);

  // Enter again without a change does not search again.
  type_and_enter(*w, "1234");
  EXPECT_EQ(dw.getrow(), r1234);
  ASSERT_TRUE(click_cell(dw, r77, "name"));
  click(w->sle_article);
  press_key(w->sle_article, Qt::Key_Return);
  EXPECT_EQ(dw.getrow(), r77);

  // Leaving the field after a change searches too.
  type_into(w->sle_article, "123");
  press_key(w->sle_article, Qt::Key_Tab);
  EXPECT_EQ(dw.getrow(), r123);
  EXPECT_EQ(dw.rowcount(), 3);  // not retrieved again
  EXPECT_EQ(boxes_shown(), "");
}

TEST_P(lookup_price_query, empty_article_table_gives_an_empty_list) {
  auto w = open();
  ASSERT_TRUE(w);
  EXPECT_EQ(w->dw_1->rowcount(), 0);
  type_and_enter(*w, "1");
  EXPECT_EQ(w->dw_1->getrow(), 0);
  EXPECT_EQ(boxes_shown(), "");
}

INSTANTIATE_BOTH_BACKENDS(lookup_price_query);

}  // namespace
