// Rules of the member register shared by the maintenance list and the member form.

#include "member/member_rules.h"

#include <vector>

#include "framework/db/transaction.h"

bool sys_param_is_one(const char* name) {
  std::vector<value> into;
  const value params[] = {value(name)};
  if (sqlca.select_into("select cast(currentvalue as int) from t_sys_param where paramname = :name",
                        params, into) != 0 || into.empty())
    return false;
  const std::optional<decimal> n = into[0].number();
  return n && *n == decimal::from_long(1);
}

namespace {
bool phone_length_ok(const std::optional<std::string>& phone) {
  if (!phone) return true;
  const int len = gbk_length(*phone);
  return len == 0 || len == 11;
}
}  // namespace

std::string phone_rule_refusal(const std::optional<std::string>& contactphone,
                               const std::optional<std::string>& mobile) {
  if (!phone_length_ok(contactphone)) return "请您填好区号及正确的电话号码位数 ";
  if (!phone_length_ok(mobile)) return "请您填好正确的电话号码位数 ";
  return "";
}
