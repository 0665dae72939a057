#include "lookup/dw_member_price_query.h"

namespace {

dv_column article_column(std::string name, col_type type, int length, std::string header,
                         int width, std::string format = {}) {
  dv_column c;
  c.name = std::move(name);
  c.type = type;
  c.length = length;
  if (type == col_type::decimal_t) c.scale = 4;  // prices
  c.header = std::move(header);
  c.width = width;
  c.format = std::move(format);
  return c;
}

// The price of the article on this row for one member level, 0 when there is none (no row, or a
// row without a price). COALESCE is the standard shorthand of CASE WHEN x IS NULL THEN 0 ELSE x
// END that reads the price once instead of twice: PostgreSQL runs each subquery per row.
std::string level_price(const char* levelid, const char* alias) {
  return std::string("       COALESCE((select price from t_article_member_level_price where levelid=") +
         levelid + " and articleid=t_article.articleid), 0) " + alias;
}

}  // namespace

dv_definition make_dw_member_price_query() {
  using enum col_type;
  dv_definition d;
  d.name = "dw_member_price_query";
  d.sql = "SELECT t_article.articleid,\n"
          "       t_article.udfcode,\n"
          "       t_article.name,\n"
          "       t_article.spec,\n"
          "       t_article.manufacturer,\n"
          "       t_article.unit,\n"
          "       t_article.price,\n"
          "       t_article.barcode,\n"
          "       t_article.memberdiscount,\n" +
          level_price("1", "aprice") + ",\n" + level_price("2", "bprice") + ",\n" +
          level_price("3", "cprice") + "\n  FROM t_article";
  // Read only: no update table, no column can take the focus.

  dv_column row_number;
  row_number.name = "compute_1";
  row_number.type = long_t;
  row_number.expression = "getrow()";
  row_number.header = "序号";
  row_number.width = 114;

  dv_column articleid = article_column("articleid", long_t, 0, "品种代号", 215, "[general]");
  articleid.key = true;

  dv_column discount = article_column("memberdiscount", long_t, 0, "是否执行会员折扣", 457);
  discount.style = edit_style::checkbox;
  discount.checkbox_on = "1";
  discount.checkbox_off = "0";
  discount.checkbox_text.clear();

  d.columns = {row_number,
               articleid,
               article_column("name", string_t, 60, "品种名称", 667),
               article_column("spec", string_t, 60, "品种规格", 343),
               article_column("manufacturer", string_t, 40, "厂家产地", 462),
               article_column("unit", string_t, 10, "单位", 119),
               article_column("price", decimal_t, 0, "销售价", 265, "[general]"),
               article_column("aprice", decimal_t, 0, "等级一", 270),
               article_column("bprice", decimal_t, 0, "等级二", 261),
               article_column("cprice", decimal_t, 0, "等级三", 256),
               article_column("udfcode", string_t, 20, "品种编码", 283, "[general]"),
               discount,
               article_column("barcode", string_t, 20, "品种条码", 219)};
  int x = 9;
  for (dv_column& c : d.columns) {
    c.x = x;
    x += c.width + 5;
  }
  return d;
}

static dv_registration reg_dw_member_price_query(make_dw_member_price_query());
