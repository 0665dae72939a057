#include "framework/expression/ast.h"

const char* expr_type_name(expr_type t) {
  switch (t) {
    case expr_type::null_t: return "null";
    case expr_type::bool_t: return "boolean";
    case expr_type::long_t: return "number";
    case expr_type::decimal_t: return "number";
    case expr_type::string_t: return "string";
    case expr_type::date_t: return "date";
  }
  return "?";
}

op_kind flipped(op_kind op) {
  switch (op) {
    case op_kind::lt: return op_kind::gt;
    case op_kind::le: return op_kind::ge;
    case op_kind::gt: return op_kind::lt;
    case op_kind::ge: return op_kind::le;
    default: return op;
  }
}

const char* op_text(op_kind op) {
  switch (op) {
    case op_kind::neg: return "-";
    case op_kind::not_: return "not";
    case op_kind::add: return "+";
    case op_kind::sub: return "-";
    case op_kind::mul: return "*";
    case op_kind::div: return "/";
    case op_kind::eq: return "=";
    case op_kind::ne: return "<>";
    case op_kind::lt: return "<";
    case op_kind::le: return "<=";
    case op_kind::gt: return ">";
    case op_kind::ge: return ">=";
    case op_kind::and_: return "and";
    case op_kind::or_: return "or";
  }
  return "?";
}
