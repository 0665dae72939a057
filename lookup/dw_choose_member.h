#pragma once
// The choose-member dialog's list: members not voided whose id, number or name matches the search
// text, with the points worked out from the MEMBER_RATE parameter.

#include "framework/dataview/definition.h"

dv_definition make_dw_choose_member();
