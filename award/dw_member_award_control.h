#pragma once
// The redemption dialog's grid: the award methods whose points do not exceed the member's.

#include "framework/dataview/definition.h"

dv_definition make_dw_member_award_control();
