#pragma once
// The award member list's grid: every member with the points (null read as 0) and, on each row,
// the points of the cheapest award above 0.

#include "framework/dataview/definition.h"

dv_definition make_dw_member_award();
