#pragma once
// dw_member_levelid: the member levels, the drop-down of every grid that shows levelid.

#include "framework/dataview/definition.h"

dv_definition make_dw_member_levelid();
