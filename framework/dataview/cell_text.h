#pragma once
// Text of cell values: the general form ("[general]" or no format) and number formats such as
// "0.00"; a code table column shows the display value of its data value.

#include <string>

#include "framework/dataview/definition.h"

// Longs as digits, decimals without trailing fractional zeros, "YYYY-MM-DD HH:MM:SS", strings as
// they are; "" for null.
std::string general_text(const value& v);
// The cell's display text by the column's format and edit style.
std::string display_text(const dv_column& c, const value& v);
