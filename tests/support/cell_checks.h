#pragma once
// Cells read for a check: an empty one fails the calling test with a message instead of ending the
// test binary, so that one broken view fails one test and the rest still run.

#include <gtest/gtest.h>

#include <optional>

#include "framework/value/value.h"

// The number in a cell; when there is none, a failure and -999999 (the null of scalar_long).
inline decimal number_in(const std::optional<decimal>& cell) {
  if (cell) return *cell;
  ADD_FAILURE() << "the cell holds no number";
  return decimal::from_long(-999999);
}
