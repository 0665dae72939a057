// Checks and conversion of values entering data view cells.

#include "framework/dataview/cell_checks.h"

#include <cstdint>

#include "framework/dataview/cell_text.h"
#include "framework/dataview/names.h"

std::string column_label(const dv_column& c) {
  std::string h = c.header;
  for (std::string_view colon : {":", "："})
    if (h.size() >= colon.size() && h.compare(h.size() - colon.size(), colon.size(), colon) == 0)
      h.resize(h.size() - colon.size());
  h = std::string(trim_blanks(h));
  if (!h.empty()) return h;
  if (!c.checkbox_text.empty()) return c.checkbox_text;
  return c.name;
}

namespace {

bool refuse(std::string& err, const dv_column& c, const std::string& what) {
  err = column_label(c) + what;
  return false;
}

bool to_long(const dv_column& c, const decimal& d, value& out, std::string& err) {
  if (d.compare(*d.rescale(0)) != 0) return refuse(err, c, "：请输入整数");
  if (d.compare(decimal::from_long(INT64_MAX)) > 0 || d.compare(decimal::from_long(INT64_MIN)) < 0)
    return refuse(err, c, "：数值超出范围");
  out = value(d.rescale(0)->to_long());
  return true;
}

// Whether a decimal fits the digits its database column is declared with: NUMERIC(14,2) holds
// at most 12 digits before the point.
bool fits_declared(const dv_column& c, const value& v, declared_digits digits, std::string& err) {
  if (digits.precision <= 0 || !v.is_decimal()) return true;
  const int whole_digits = digits.precision - digits.scale;
  __int128 whole = v.as_decimal().mantissa;
  if (whole < 0) whole = -whole;
  for (int i = 0; i < v.as_decimal().scale; ++i) whole /= 10;
  int n = 0;
  for (; whole > 0; whole /= 10) ++n;
  if (n <= whole_digits) return true;
  return refuse(err, c, "：数值超出范围（最多 " + std::to_string(whole_digits) + " 位整数、" +
                            std::to_string(digits.scale) + " 位小数）");
}

// Whether a number is one the column takes: a day that exists in a yyyymmdd date column, nothing
// below the column's least value.
bool in_range(const dv_column& c, const value& v, std::string& err) {
  if (!v.is_long()) return true;
  if (c.yyyymmdd && !datetime::from_yyyymmdd(v.as_long()))
    return refuse(err, c, "：没有这一天，请输入存在的日期，年月日八位数字（如 19800705）");
  if (c.least && v.as_long() < *c.least)
    return refuse(err, c, "：不能小于 " + std::to_string(*c.least));
  return true;
}

// Whether the converted value is one the column's edit style may hold.
bool offered(const dv_column& c, const value& v, std::string& err) {
  if (v.is_null()) return true;
  std::string text = general_text(v);
  if (c.style == edit_style::checkbox) {
    if (text == c.checkbox_on || text == c.checkbox_off) return true;
    return refuse(err, c, "只能是 " + c.checkbox_on + "（选中）或 " + c.checkbox_off + "（未选中）");
  }
  if (c.style == edit_style::codetable && !c.codes.empty()) {
    std::string list;
    for (const auto& [display, data] : c.codes) {
      if (text == data) return true;
      list += (list.empty() ? "" : "、") + display;
    }
    return refuse(err, c, "只能是以下值之一：" + list);
  }
  return true;
}

bool convert(const dv_column& c, const value& v, value& out, std::string& err) {
  // Blanks are no value in a number or date column.
  if (v.is_null() ||
      (c.type != col_type::string_t && v.is_string() && trim_blanks(v.as_string()).empty())) {
    out = value();
    return true;
  }
  switch (c.type) {
    case col_type::long_t: {
      if (v.is_long()) {
        out = v;
        return true;
      }
      if (v.is_decimal()) return to_long(c, v.as_decimal(), out, err);
      if (v.is_string()) {
        std::string_view t = trim_blanks(v.as_string());
        std::optional<decimal> d = decimal::parse(t);
        if (!d) return refuse(err, c, "：请输入有效的数字");
        return to_long(c, *d, out, err);
      }
      return refuse(err, c, "：请输入有效的数字");
    }
    case col_type::decimal_t: {
      if (v.is_long()) {
        out = value(*decimal::from_long(v.as_long()).rescale(c.scale));
        return true;
      }
      if (v.is_decimal()) {
        std::optional<decimal> d = v.as_decimal().rescale(c.scale);
        if (!d) return refuse(err, c, "：数值超出范围");
        out = value(*d);
        return true;
      }
      if (v.is_string()) {
        std::string_view t = trim_blanks(v.as_string());
        std::optional<decimal> d = decimal::parse(t, c.scale);
        if (!d) return refuse(err, c, "：请输入有效的数字");
        out = value(*d);
        return true;
      }
      return refuse(err, c, "：请输入有效的数字");
    }
    case col_type::datetime_t: {
      if (v.is_datetime()) {
        out = v;
        return true;
      }
      if (v.is_string()) {
        std::string_view t = trim_blanks(v.as_string());
        if (std::optional<datetime> d = datetime::parse(t)) {
          out = value(*d);
          return true;
        }
      }
      return refuse(err, c, "：请输入有效的日期时间（如 2009-07-05 08:30:00）");
    }
    case col_type::string_t: {
      std::string s = v.is_string() ? v.as_string() : general_text(v);
      switch (text_fault_of(s)) {
        case text_fault::nul: return refuse(err, c, "：文字中不能含有空字符（NUL）");
        case text_fault::not_utf8:
          return refuse(err, c, "：文字中含有无法识别的字节（不是有效的 UTF-8 文字）");
        case text_fault::none: break;
      }
      if (c.length > 0 && gbk_length(s) > c.length)
        return refuse(err, c, "的长度不能超过 " + std::to_string(c.length) + " 个字节");
      out = value(std::move(s));
      return true;
    }
  }
  return refuse(err, c, "：无法识别的值");
}

}  // namespace

bool to_column_value(const dv_column& c, const value& v, value& out, std::string& err,
                     declared_digits digits) {
  value converted;
  if (!convert(c, v, converted, err)) return false;
  if (!fits_declared(c, converted, digits, err)) return false;
  if (!in_range(c, converted, err)) return false;
  if (!offered(c, converted, err)) return false;
  out = std::move(converted);
  return true;
}

std::string code_data_value(const dv_column& c, const std::string& text) {
  for (const auto& [display, data] : c.codes)
    if (data == text) return text;
  for (const auto& [display, data] : c.codes)
    if (display == text) return data;
  return text;
}
