#pragma once
// The member register grid of w_member_maintain: every column of t_member, the row number and
// the age computed from the birthday. Also the column builder both member grids use.

#include <string>

#include "framework/dataview/definition.h"

// A t_member column of a member grid, written back to the table's column of the same name.
// length: char(n) in GBK bytes (0 for numbers); scale: decimal places of a decimal column.
dv_column member_column(std::string name, col_type type, int length, std::string header, int x,
                        int width, int tab, std::string format = "");
// The grid's row number, headed "序号".
dv_column member_row_number(int x, int width);

dv_definition make_dw_member_maintain();
