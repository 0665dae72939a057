#pragma once
// The narrower member grid of w_member_view: thirteen member columns, of which only sex, ail,
// available and code can be changed.

#include "framework/dataview/definition.h"

dv_definition make_dw_member_view();
