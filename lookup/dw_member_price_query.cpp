#include "lookup/dw_member_price_query.h"

#include "framework/dataview/columns.h"

dv_definition make_dw_member_price_query() {
  using namespace dv_columns;
  dv_definition d;
  d.name = "dw_member_price_query";
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
      queried("aprice", price).as("COALESCE(level1.price, 0)").header("等级一").width(270),
      queried("bprice", price).as("COALESCE(level2.price, 0)").header("等级二").width(261),
      queried("cprice", price).as("COALESCE(level3.price, 0)").header("等级三").width(256),
      queried("udfcode", text(20)).header("品种编码").width(283).format("[general]"),
      queried("memberdiscount", integer).header("是否执行会员折扣").width(457).checkbox(),
      queried("barcode", text(20)).header("品种条码").width(219),
  };
  side_by_side(d.columns, 9, 5);
  // The level prices come from one outer join per level. (levelid, articleid) is unique, so at
  // most one row joins and each article stays one row; a level without a row, or a row without a
  // price, shows 0. Each join is one lookup of the pair (article, level).
  d.sql = select_from("t_article", d.columns) + R"(
  LEFT JOIN t_article_member_level_price level1
         ON level1.articleid = t_article.articleid AND level1.levelid = 1
  LEFT JOIN t_article_member_level_price level2
         ON level2.articleid = t_article.articleid AND level2.levelid = 2
  LEFT JOIN t_article_member_level_price level3
         ON level3.articleid = t_article.articleid AND level3.levelid = 3)";
  return d;
}
