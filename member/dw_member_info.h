#pragma once
// The member information form of w_member_info: one t_member row, every column, as a free-form
// form with a label beside each field; the fields with a tab order are the ones staff may edit.

#include "framework/dataview/definition.h"

dv_definition make_dw_member_info();
