#pragma once
// Recursive-descent parser from tokens to a syntax tree, with a nesting limit so that no input
// can exhaust the stack.

#include <memory>
#include <string>
#include <string_view>

#include "framework/expression/ast.h"

inline constexpr int max_expr_depth = 200;

// Null with error set (message with position) when the text is not a well-formed expression.
std::unique_ptr<ast_node> parse_expression(std::string_view text, std::string& error);
