#include "lookup/dw_member_price_query.h"

#include "framework/dataview/columns.h"

namespace {

// The price of the article on this row for one member level, 0 when there is none (no row, or a
// row without a price). COALESCE is the standard shorthand of CASE WHEN x IS NULL THEN 0 ELSE x
// END that reads the price once instead of twice: PostgreSQL runs each subquery per row.
std::string level_price(const char* levelid, const char* alias) {
  return std::string("       COALESCE((select price from t_article_member_level_price where levelid=") +
         levelid + " and articleid=t_article.articleid), 0) " + alias;
}

}  // namespace

dv_definition make_dw_member_price_query() {
  using namespace dv_columns;
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
  constexpr kind price = decimal_places(4);

  d.columns = {
      row_number().width(114),
      queried("articleid", integer).header("品种代号").width(215).format("[general]").key(),
      queried("name", text(60)).header("品种名称").width(667),
      queried("spec", text(60)).header("品种规格").width(343),
      queried("manufacturer", text(40)).header("厂家产地").width(462),
      queried("unit", text(10)).header("单位").width(119),
      queried("price", price).header("销售价").width(265).format("[general]"),
      queried("aprice", price).header("等级一").width(270),
      queried("bprice", price).header("等级二").width(261),
      queried("cprice", price).header("等级三").width(256),
      queried("udfcode", text(20)).header("品种编码").width(283).format("[general]"),
      queried("memberdiscount", integer).header("是否执行会员折扣").width(457).checkbox(),
      queried("barcode", text(20)).header("品种条码").width(219),
  };
  side_by_side(d.columns, 9, 5);
  return d;
}

static dv_registration reg_dw_member_price_query(make_dw_member_price_query());
