#pragma once
// Rules of the member register that more than one window applies: the system switches of
// t_sys_param and the phone lengths under MOBILE_CHECK, so that the member form never stores a
// row that the maintenance list's save then refuses.

#include <optional>
#include <string>

// True only when the system parameter reads as the whole number 1. A missing row, a NULL value
// or a database error all count as "not 1" and are not reported.
bool sys_param_is_one(const char* name);

// With MOBILE_CHECK 1, contactphone and mobile must each be empty or exactly 11 GBK bytes long.
// The message for the first of the two that is not; "" when both pass.
std::string phone_rule_refusal(const std::optional<std::string>& contactphone,
                               const std::optional<std::string>& mobile);
