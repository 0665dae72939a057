// Rules of the member register shared by the maintenance list and the member form.

#include "member/member_rules.h"

#include <optional>
#include <string>
#include <vector>

#include "framework/dataview/data_view.h"
#include "framework/db/transaction.h"

bool sys_param_is_one(const char* name, uo_transaction& tr) {
  std::vector<value> into;
  const value params[] = {value(name)};
  if (tr.select_into("select cast(currentvalue as int) from t_sys_param where paramname = :name",
                     params, into) != 0 || into.empty())
    return false;
  const std::optional<decimal> n = into[0].number();
  return n && *n == decimal::from_long(1);
}

bool sys_param_is_one(const char* name) { return sys_param_is_one(name, sqlca); }

namespace {
bool phone_length_ok(const std::optional<std::string>& phone) {
  if (!phone) return true;
  const int len = gbk_length(*phone);
  return len == 0 || len == 11;
}
}  // namespace

dv_row_check member_row_rules(uo_transaction* tr) {
  if (!tr || !sys_param_is_one("MOBILE_CHECK", *tr)) return [](const dv_row&) { return std::string(); };
  return [](const dv_row& r) -> std::string {
    if (r.change == dv_row_change::remove) return "";
    // An unknown column reads as null, which passes.
    if (!phone_length_ok(r.view.getitemstring(r.row, "contactphone", r.buffer)))
      return "请您填好区号及正确的电话号码位数 ";
    if (!phone_length_ok(r.view.getitemstring(r.row, "mobile", r.buffer)))
      return "请您填好正确的电话号码位数 ";
    return "";
  };
}
