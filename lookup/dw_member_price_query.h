#pragma once
// The member price report's list: every article with its ordinary price and its prices for
// member levels 1, 2 and 3 (0 where a level has no price).

#include "framework/dataview/definition.h"

dv_definition make_dw_member_price_query();
