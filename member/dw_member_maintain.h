#pragma once
// The member register grid of w_member_maintain: every column of t_member, the row number and
// the age computed from the birthday.

#include "framework/dataview/definition.h"

dv_definition make_dw_member_maintain();
