#pragma once
// Turns a type-checked syntax tree into evaluation nodes.

#include <memory>

#include "framework/expression/ast.h"
#include "framework/expression/nodes.h"

std::unique_ptr<node> build_nodes(const ast_node& n);

// Result of comparing: true when `c` (the sign of a - b) satisfies op.
inline bool compare_holds(op_kind op, int c) {
  switch (op) {
    case op_kind::eq: return c == 0;
    case op_kind::ne: return c != 0;
    case op_kind::lt: return c < 0;
    case op_kind::le: return c <= 0;
    case op_kind::gt: return c > 0;
    case op_kind::ge: return c >= 0;
    default: return false;
  }
}

// Byte-wise comparison of two texts: the sign of a - b.
inline int compare_text(std::string_view a, std::string_view b) {
  const int c = a.compare(b);
  return (c > 0) - (c < 0);
}
