#pragma once
// The expression language's functions: the table the type checker resolves names against, and
// the factory of their evaluation nodes.

#include <memory>
#include <string_view>
#include <vector>

#include "framework/expression/nodes.h"

enum class fn_id {
  getrow, int_, abs, len, trim, upper, lower, isnull, if_, today, date, string, daysafter,
  years_after, year, month, day
};

struct function_info {
  std::string_view name;  // lower case
  fn_id id;
  int min_args;
  int max_args;
};

// Null when there is no function of that name (case-insensitive).
const function_info* find_function(std::string_view name);
const function_info& function_by_id(int id);

// Builds the node for a type-checked call; `type` is the call's static type.
std::unique_ptr<node> make_function_node(fn_id id, expr_type type,
                                         std::vector<std::unique_ptr<node>> args);
