#pragma once
// Which members a shop's member lists show, by the parameter MEMBER_SITE: 1, the members of this
// shop (:an_siteid); NULL or no row, every member; any other value, none.

#include <string>
#include <string_view>

// The WHERE condition over t_member; `or_also` names further members that count as this shop's
// when MEMBER_SITE is 1 (empty: none).
std::string member_site_condition(std::string_view or_also = {});
