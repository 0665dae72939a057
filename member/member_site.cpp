// The MEMBER_SITE condition shared by the member lists.

#include "member/member_site.h"

std::string member_site_condition(std::string_view or_also) {
  const std::string member_site =
      "(select cast(currentvalue as int) from t_sys_param where paramname='MEMBER_SITE')";
  std::string own_shop = "t_member.siteid = :an_siteid";
  if (!or_also.empty()) own_shop = "(" + own_shop + "\n           or " + std::string(or_also) + ")";
  return "( (" + own_shop + "\n          AND " + member_site + " = 1)\n      OR " + member_site +
         " is null )";
}
