#pragma once
// The award method dialog's grid: every award method with its row number, code, name, points and
// notes, written back to t_member_award_method by methodid.

#include "framework/dataview/definition.h"

dv_definition make_dw_member_award_method();
