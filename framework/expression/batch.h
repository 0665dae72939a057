#pragma once
// Batch evaluation of the common filter and find shapes: column OP column and column OP literal
// over long, decimal, date and string columns, and and/or/not of those. Each shape runs as one
// tight loop over the rows reading the column arrays, without the per-row node tree.

#include <cstddef>
#include <cstdint>
#include <memory>

#include "framework/expression/ast.h"
#include "framework/expression/expression.h"

class batch_predicate {
 public:
  virtual ~batch_predicate() = default;
  // out[i] = three-valued result of rows[i]: 0 false, 1 true, 2 null.
  virtual void eval(const column_data* cols, const uint32_t* rows, size_t n, uint8_t* out) const = 0;
  // out[i] = 1 when rows[i] is true, else 0.
  virtual void pass(const column_data* cols, const uint32_t* rows, size_t n, uint8_t* out) const;
  // Index of the first true row, or -1.
  virtual int64_t find(const column_data* cols, const uint32_t* rows, size_t n) const;
};

// Null when the typed tree is not one of the shapes above.
std::unique_ptr<batch_predicate> make_batch_predicate(const ast_node& root);
