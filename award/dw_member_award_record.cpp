#include "award/dw_member_award_record.h"

#include "member/dw_member_maintain.h"

dv_definition make_dw_member_award_record() {
  using enum col_type;
  dv_definition d;
  d.name = "dw_member_award_record";
  // The inner join leaves out a record whose member row is gone; the date range is served by
  // the index on timevalidated.
  d.sql = R"(SELECT t_member_award_record.seqid,
       t_member_award_record.memberid,
       t_member_award_record.mdname,
       t_member_award_record.mdintegral,
       t_member_award_record.notes,
       t_member_award_record.timevalidated,
       t_member.memberno,
       t_member.membername,
       t_member.usercard
  FROM t_member_award_record, t_member
 WHERE t_member_award_record.memberid = t_member.memberid
   AND t_member_award_record.timevalidated >= :starttime
   AND t_member_award_record.timevalidated <= :endtime)";
  d.arguments = {{"starttime", long_t}, {"endtime", long_t}};
  // No update table: the cells take input, but nothing typed is ever written.

  dv_column xh = member_row_number(9, 151);
  xh.name = "xh";

  d.columns = {
      xh,
      member_column("seqid", long_t, 0, "流水号", 169, 229, 10),
      member_column("memberid", long_t, 0, "会员ID", 407, 215, 20),
      member_column("mdname", string_t, 60, "会员名称", 631, 923, 30),
      member_column("mdintegral", long_t, 0, "会员积分", 1563, 329, 40),
      member_column("notes", string_t, 100, "备注", 1902, 1152, 50),
      member_column("timevalidated", long_t, 0, "领取日期", 3063, 302, 60),
      member_column("memberno", string_t, 20, "会员号\r\n", 3374, 398, 70),
      member_column("membername", string_t, 60, "", 3781, 471, 80),
      member_column("usercard", string_t, 18, "身份证\r\n", 4261, 585, 90),
  };
  return d;
}

static dv_registration reg_dw_member_award_record(make_dw_member_award_record());
