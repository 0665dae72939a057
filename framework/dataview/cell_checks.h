#pragma once
// Checks and conversion of a value entering a cell: the column's type, a text's bytes (no NUL,
// well-formed UTF-8) and its length in GBK bytes, a date number's day, a number's least value, a
// check box's on/off values and a code table's data values. Refusals carry the message shown to
// the user.

#include <string>

#include "framework/dataview/definition.h"
#include "framework/db/connection.h"

// The name a message uses for a column: its header without a trailing colon, else the check
// box's text, else the column name.
std::string column_label(const dv_column& c);

// Converts v to the column's type: numbers from text (blank text is null), integers only into a
// long column, decimals rounded to the column's scale and no longer than the database column's
// declared digits (when known), dates and times from text, anything into a text column as its
// text (whole: a NUL or bytes that are not UTF-8 are refused, not cut). False with the message in
// err when the value does not fit.
bool to_column_value(const dv_column& c, const value& v, value& out, std::string& err,
                     declared_digits digits = {});

// For a code table column, the data value of a display value typed or chosen (text unchanged
// when it is no display value).
std::string code_data_value(const dv_column& c, const std::string& text);
