#pragma once
// Rules of the member register: the system switches of t_sys_param, and the row rules of the
// member data views (phone lengths under MOBILE_CHECK), so that the maintenance list and the
// member form refuse the same rows with the same words, and no save of either stores one.

#include "framework/dataview/row_rules.h"

class uo_transaction;

// True only when the system parameter reads as the whole number 1 through tr. A missing row, a
// NULL value or a database error all count as "not 1" and are not reported.
bool sys_param_is_one(const char* name, uo_transaction& tr);
bool sys_param_is_one(const char* name);  // through sqlca

// The row rules of a member row. With MOBILE_CHECK 1 (read once per pass), contactphone and
// mobile must each be empty or exactly 11 GBK bytes long; the refusal names the first that is
// not. A view without those columns never refuses; nor is a deleted row checked.
dv_row_check member_row_rules(uo_transaction* tr);
