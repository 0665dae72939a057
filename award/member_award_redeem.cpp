#include "award/member_award_redeem.h"

#include <random>

#include "framework/db/transaction.h"

award_redemption::award_redemption() {
  std::random_device device;
  std::uniform_int_distribution<int64_t> any(INT64_MIN, INT64_MAX);
  do key = any(device);
  while (key == 0);
}

namespace {
value text_or_null(const std::optional<std::string>& s) { return s ? value(*s) : value(); }

enum class found { yes, no, not_known };

// Whether the record of the redemption with this key is stored.
found recorded(uo_transaction& tr, int64_t key) {
  const value k[] = {key};
  std::vector<value> into;
  if (tr.select_into("select count(*) from t_member_award_record where redeemkey = :key", k,
                     into) != 0)
    return found::not_known;
  return into[0] == value(int64_t(0)) ? found::no : found::yes;
}

// A record found counts once the database confirms that it survives a takeover by a standby.
int confirmed(uo_transaction& tr, award_redemption& r) {
  r.in_doubt = tr.confirm_durable() != 0;
  return r.in_doubt ? redeem_not_known : redeem_done;
}
// Why the deduction touched no row, in the worker's words: the member's points no longer reach
// the award (another terminal redeemed meanwhile), or the member is gone. The SQLCA stays as
// the deduction left it.
std::string why_not_deducted(uo_transaction& tr, int64_t memberid) {
  const sqlca_state deduction(tr);
  const value id[] = {memberid};
  std::vector<value> into;
  const int rc = tr.select_into("select integral from t_member where memberid = :id", id, into);
  deduction.restore(tr);
  if (rc == 100) return "会员 " + std::to_string(memberid) + " 已不存在";
  if (rc != 0) return "";
  return "积分不足：当前积分 " + (into[0].is_null() ? std::string("0") : into[0].to_text());
}

}  // namespace

int member_award_redeem(uo_transaction& tr, award_redemption& r, int64_t memberid,
                        int64_t points, const std::optional<std::string>& name,
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
  if (r.in_doubt) {
    // An earlier attempt may be stored: it is looked for before anything is written.
    switch (recorded(tr, r.key)) {
      case found::yes: return confirmed(tr, r);
      case found::not_known: return redeem_not_known;
      case found::no: r.in_doubt = false; break;
    }
  }
  // The unit begins before the number is drawn: drawing may write (a sequence logs numbers
  // ahead), and a unit's commit is where the wait for the database is bounded.
  const int64_t ll_bseqid = tr.begin() == 0 ? f_get_next_sequence("t_member_award", tr) : -1;
  if (ll_bseqid < 1) {
    // No serial number: nothing may be written. Report the database's reason when it gave one,
    // and leave no transaction open behind us.
    if (tr.sqlcode != 0)
      f_check_sql(true, false, true, "奖励领取", "取会员奖励领取流水号失败", tr);
    else if (tr.in_transaction())
      tr.rollback();
    return redeem_failed;
  }

  const value record[] = {ll_bseqid, memberid, text_or_null(name), points, text_or_null(notes),
                          date, r.key};
  tr.execute(
      "insert into t_member_award_record ( seqid , memberid , mdname , mdintegral , notes , "
      "timevalidated , redeemkey ) values ( :ll_bseqid , :il_memberid , :ls_name , :ll_rate , "
      ":ls_notes , :ll_date , :key )",
      record);
  if (!f_check_sql(true, false, true, "奖励领取", "增加会员奖励领取记录失败", tr))
    return redeem_failed;

  const value queued[] = {ll_bseqid};
  tr.execute("insert into t_member_award_to_up ( seqid ) values ( :ll_bseqid )", queued);
  if (!f_check_sql(true, false, true, "奖励领取", "保存待上传会员奖励记录失败", tr))
    return redeem_failed;

  // The points are checked again in the same statement that lowers them: another terminal may
  // have redeemed since this list was read. No row updated (sqlcode 100) fails the whole unit.
  const value deduction[] = {points, memberid};
  tr.execute(
      "update t_member set integral = integral - :ll_rate where memberid = :il_memberid and "
      "integral >= :ll_rate",
      deduction);
  if (tr.sqlcode == 0 && tr.commit() == 0) return redeem_done;
  if (!tr.commit_in_doubt()) {
    if (tr.sqlcode == 100) tr.sqlreason = why_not_deducted(tr, memberid);
    f_check_sql(true, false, true, "奖励领取", "对会员积分进行减少操作失败", tr);
    return redeem_failed;
  }
  // Whether the unit is stored is not known. When its answer went with the connection and the
  // database could not tell afterwards (it was restarted, or a standby took over), the record is
  // there exactly when the unit is. The commit's reason stays in the SQLCA for the report.
  r.in_doubt = true;
  const sqlca_state in_doubt(tr);
  const int outcome = !tr.commit_unconfirmed() && recorded(tr, r.key) == found::yes
                          ? confirmed(tr, r)
                          : redeem_not_known;
  if (outcome != redeem_done) in_doubt.restore(tr);
  return outcome;
}
