#include "lookup/dw_choose_member.h"

namespace {

dv_column member_column(std::string name, col_type type, int length, std::string header,
                        int width) {
  dv_column c;
  c.db_name = name;
  c.name = std::move(name);
  c.type = type;
  c.length = length;
  c.header = std::move(header);
  c.width = width;
  return c;
}

}  // namespace

dv_definition make_dw_choose_member() {
  using enum col_type;
  dv_definition d;
  d.name = "dw_choose_member";
  // The search text is bound three times. LIKE gets an escape character no keyboard types, so
  // only '%' and '_' act as wildcards and a backslash is matched as itself on both backends
  // (PostgreSQL would otherwise treat it as an escape).
  d.sql = "SELECT t_member.memberid,\n"
          "       t_member.membername,\n"
          "       t_member.memberaddr,\n"
          "       t_member.contactphone,\n"
          "       t_member.lastupdated,\n"
          "       t_member.memberno,\n"
          "       t_member.amountconsumed,\n"
          "       t_member.levelid,\n"
          "       t_member.integral,\n"
          "       (CASE WHEN (select currentvalue from t_sys_param where paramname='MEMBER_RATE')=0\n"
          "             THEN t_member.amountconsumed\n"
          "             ELSE t_member.amountconsumed/(select currentvalue from t_sys_param where "
          "paramname='MEMBER_RATE') END) rate\n"
          "  FROM t_member\n"
          " WHERE ( CAST(memberid AS VARCHAR(20)) = :aliasname OR\n"
          "         memberno LIKE :aliasname||'%' ESCAPE '\x1b' OR\n"
          "         membername LIKE :aliasname||'%' ESCAPE '\x1b' ) AND\n"
          "       ( t_member.available IS NULL OR t_member.available = 0 )";
  d.arguments = {{"aliasname", string_t}};
  d.update_table = "t_member";

  dv_column row_number;
  row_number.name = "compute_1";
  row_number.type = long_t;
  row_number.expression = "getrow()";
  row_number.header = "序号";
  row_number.width = 151;

  dv_column memberid = member_column("memberid", long_t, 0, "会员代号", 247);
  memberid.key = true;

  dv_column amount = member_column("amountconsumed", decimal_t, 0, "累计消费金额", 357);
  amount.scale = 2;
  amount.format = "0.00";

  dv_column levelid = member_column("levelid", long_t, 0, "会员等级代号", 370);
  levelid.style = edit_style::dddw;
  levelid.dddw_name = "dw_member_levelid";
  levelid.dddw_display = "levelid";
  levelid.dddw_data = "levelid";

  dv_column rate = member_column("rate", decimal_t, 0, "积分", 352);
  rate.db_name.clear();  // worked out by the query, not a column of t_member
  rate.scale = 14;

  d.columns = {row_number,
               memberid,
               member_column("memberno", string_t, 20, "会员号", 306),
               member_column("membername", string_t, 60, "会员名称", 366),
               member_column("memberaddr", string_t, 60, "会员地址", 498),
               member_column("contactphone", string_t, 20, "联系电话", 434),
               amount,
               levelid,
               member_column("lastupdated", datetime_t, 0, "最后更新时间", 384),
               member_column("integral", long_t, 0, "清零标记", 274),
               rate};
  int x = 9;
  for (dv_column& c : d.columns) {
    c.x = x;
    x += c.width + 5;
  }
  return d;
}

static dv_registration reg_dw_choose_member(make_dw_choose_member());
