#include "award/w_member_award_record.h"

#include <string>

#include "framework/dataview/names.h"
#include "framework/expression/expression.h"
#include "framework/runtime/runtime.h"

namespace {
// Size of the report window, host units: wide enough for every column of the grid.
constexpr int k_width = 5060, k_height = 2560;
}  // namespace

w_member_award_record::w_member_award_record() = default;

void w_member_award_record::create() {
  w_duration_report::create();
  set_title("会员奖励记录");
  set_size_units(k_width, k_height);
  (void)dw_1->set_dataobject("dw_member_award_record");  // a missing data object is reported by the control
  dw_1->is_id_columnname = "seqid";

  st_3 = new QLabel(QString::fromUtf8("会员号:"), this);
  st_3->setObjectName("st_3");
  place(st_3, 1650, 200, 210, 64);
  st_3->raise();

  sle_1 = new u_wsk_sle(this);
  sle_1->setObjectName("sle_1");
  place(sle_1, 1870, 188, 622, 88);
  sle_1->raise();
  // The member number comes after the two dates.
  setTabOrder(uo_start, uo_end);
  setTabOrder(uo_end, sle_1);
}

void w_member_award_record::kpo_preopen() {
  w_duration_report::kpo_preopen();
  dw_1->of_settransobject();
}

long w_member_award_record::dw_kpo_retrieve(u_wsk_dw& /*dw*/) {
  const datetime ldt_start = uo_start->of_getstartdatetime();
  const datetime ldt_end = uo_end->of_getenddatetime();
  // Days as yyyymmdd numbers: the time of day plays no part.
  const int64_t ll_start = ldt_start.yyyymmdd();
  const int64_t ll_end = ldt_end.yyyymmdd();
  return long(dw_1->retrieve({ll_start, ll_end}));
}

long w_member_award_record::sle_kpo_keypressed(u_wsk_sle& sle, int key, int keyflags) {
  w_duration_report::sle_kpo_keypressed(sle, key, keyflags);
  if (runtime::enter_down()) {
    const std::string ls_code(trim_blanks(sle_1->text_utf8()));
    // The typed text is quoted as a literal: it is compared, never read as an expression.
    if (dw_1->setfilter("memberno=" + expr_quote(ls_code)) < 0) return message.returnvalue;
    (void)dw_1->filter();  // a filter that was set applies
  }
  return message.returnvalue;
}
