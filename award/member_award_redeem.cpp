#include "award/member_award_redeem.h"

#include "framework/db/transaction.h"

namespace {
value text_or_null(const std::optional<std::string>& s) { return s ? value(*s) : value(); }

// Whether the record of this redemption (its serial number, member, points and date) is stored.
// The transaction's SQLCA is left as it was.
bool recorded(uo_transaction& tr, const value (&record)[6]) {
  const sqlca_state before(tr);
  const value key[] = {record[0], record[1], record[3], record[5]};
  std::vector<value> into;
  const bool found =
      tr.select_into("select count(*) from t_member_award_record where seqid = :ll_bseqid and "
                     "memberid = :il_memberid and mdintegral = :ll_rate and timevalidated = :ll_date",
                     key, into) == 0 &&
      into[0] == value(int64_t(1));
  before.restore(tr);
  return found;
}
}  // namespace

int member_award_redeem(uo_transaction& tr, int64_t memberid, int64_t points,
                        const std::optional<std::string>& name,
                        const std::optional<std::string>& notes, int64_t date) {
  // With the points at least the award's and the award's at least 0, what is left lies between 0
  // and the points: the deduction cannot leave the range of a 64-bit integer, on either backend
  // (SQLite would store the overflow as a REAL, PostgreSQL refuses it). A negative award, left
  // by an older layout without the check on the method table, would raise the points instead.
  if (points < 0) {
    tr.sqlcode = -1;
    tr.sqldbcode = 0;
    tr.sqlerrtext = "奖励所需积分为负数（" + std::to_string(points) +
                    "）：领取只能减少会员积分，未作任何修改";
    f_check_sql(true, false, true, "奖励领取", "对会员积分进行减少操作失败", tr);
    return -1;
  }
  const int64_t ll_bseqid = f_get_next_sequence("t_member_award", tr);
  if (ll_bseqid < 1) {
    // No serial number: nothing may be written. Report the database's reason when it gave one,
    // and leave no transaction open behind us.
    if (tr.sqlcode != 0)
      f_check_sql(true, false, true, "奖励领取", "取会员奖励领取流水号失败", tr);
    else if (tr.in_transaction())
      tr.rollback();
    return -1;
  }

  const value record[] = {ll_bseqid, memberid, text_or_null(name), points, text_or_null(notes),
                          date};
  tr.execute(
      "insert into t_member_award_record ( seqid , memberid , mdname , mdintegral , notes , "
      "timevalidated ) values ( :ll_bseqid , :il_memberid , :ls_name , :ll_rate , :ls_notes , "
      ":ll_date )",
      record);
  if (!f_check_sql(true, false, true, "奖励领取", "增加会员奖励领取记录失败", tr)) return -1;

  const value queued[] = {ll_bseqid};
  tr.execute("insert into t_member_award_to_up ( seqid ) values ( :ll_bseqid )", queued);
  if (!f_check_sql(true, false, true, "奖励领取", "保存待上传会员奖励记录失败", tr)) return -1;

  // The points are checked again in the same statement that lowers them: another terminal may
  // have redeemed since this list was read. No row updated (sqlcode 100) fails the whole unit.
  const value deduction[] = {points, memberid};
  tr.execute(
      "update t_member set integral = integral - :ll_rate where memberid = :il_memberid and "
      "integral >= :ll_rate",
      deduction);
  if (tr.sqlcode == 0 && tr.commit() == 0) return 1;
  // The connection went before the commit was answered, and the database could not say whether
  // it stored the unit (it was restarted, or a standby took over). The record is there exactly
  // when the unit is, so look for it: a failure reported for a stored redemption would have the
  // user redeem again and the points taken twice.
  if (tr.commit_in_doubt() && recorded(tr, record)) return 1;
  f_check_sql(true, false, true, "奖励领取", "对会员积分进行减少操作失败", tr);
  return -1;
}
