#pragma once
// Syntax tree of an expression, annotated by the type checker with static types, resolved
// columns and functions.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/value/value.h"

enum class expr_type : uint8_t { null_t, bool_t, long_t, decimal_t, string_t, date_t };

const char* expr_type_name(expr_type t);
inline bool is_numeric(expr_type t) { return t == expr_type::long_t || t == expr_type::decimal_t; }

enum class ast_kind : uint8_t { literal, column, unary, binary, call };

enum class op_kind : uint8_t { neg, not_, add, sub, mul, div, eq, ne, lt, le, gt, ge, and_, or_ };

inline bool is_comparison(op_kind op) { return op >= op_kind::eq && op <= op_kind::ge; }
// a OP b  ==  b flipped(OP) a
op_kind flipped(op_kind op);
const char* op_text(op_kind op);

struct ast_node {
  ast_kind kind = ast_kind::literal;
  op_kind op = op_kind::add;
  int pos = 1;        // 1-based character position in the text
  int depth = 1;      // height of this subtree
  expr_type type = expr_type::null_t;
  value literal;      // literal: null, long, decimal or string; booleans are long 0/1
  std::string name;   // column or function name as written
  int column = -1;    // resolved column index
  int scale = 0;      // decimal column scale
  int function = -1;  // resolved function id
  std::vector<std::unique_ptr<ast_node>> args;  // operands or call arguments
};
