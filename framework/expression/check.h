#pragma once
// Type checker: resolves column and function names against the schema and gives every node of
// the tree its static type, or reports the first mistake with its position.

#include <string>

#include "framework/expression/ast.h"
#include "framework/expression/expression.h"

bool type_check(ast_node& root, const expr_schema& schema, std::string& error);
