#include "lookup/dw_choose_member.h"

#include "framework/dataview/columns.h"

dv_definition make_dw_choose_member() {
  using namespace dv_columns;
  dv_definition d;
  d.name = "dw_choose_member";
  d.arguments = {{"aliasname", col_type::string_t}};
  d.update_table = "t_member";

  const std::string member_rate =
      "(select currentvalue from t_sys_param where paramname='MEMBER_RATE')";

  d.columns = {
      row_number().width(151),
      stored("memberid", integer).header("会员代号").width(247).key(),
      stored("memberno", text(20)).header("会员号").width(306),
      stored("membername", text(60)).header("会员名称").width(366),
      stored("memberaddr", text(60)).header("会员地址").width(498),
      stored("contactphone", text(20)).header("联系电话").width(434),
      stored("amountconsumed", decimal_places(2)).header("累计消费金额").width(357).format("0.00"),
      stored("levelid", integer).header("会员等级代号").width(370)
          .dropdown("dw_member_levelid", "levelid", "levelid"),
      stored("lastupdated", date_time).header("最后更新时间").width(384),
      stored("integral", integer).header("清零标记").width(274),
      // Worked out by the query, not a column of t_member.
      queried("rate", decimal_places(14))
          .as("(CASE WHEN " + member_rate + "=0 THEN t_member.amountconsumed"
              " ELSE t_member.amountconsumed/" + member_rate + " END)")
          .header("积分").width(352),
  };
  side_by_side(d.columns, 9, 5);
  // The search text is bound three times. LIKE gets an escape character no keyboard types, so
  // only '%' and '_' act as wildcards and a backslash is matched as itself on both backends
  // (PostgreSQL would otherwise treat it as an escape).
  d.sql = select_from("t_member", d.columns) +
          "\n WHERE ( CAST(memberid AS VARCHAR(20)) = :aliasname OR\n"
          "         memberno LIKE :aliasname||'%' ESCAPE '\x1b' OR\n"
          "         membername LIKE :aliasname||'%' ESCAPE '\x1b' ) AND\n"
          "       ( t_member.available IS NULL OR t_member.available = 0 )";
  return d;
}
