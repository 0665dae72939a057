#include "framework/expression/expression.h"

#include <algorithm>

#include "framework/expression/batch.h"
#include "framework/expression/check.h"
#include "framework/expression/compile.h"
#include "framework/expression/nodes.h"
#include "framework/expression/parser.h"

namespace {

int highest_column(const ast_node& n) {
  int m = n.kind == ast_kind::column ? n.column : -1;
  for (const auto& a : n.args) m = std::max(m, highest_column(*a));
  return m;
}

class compiled_tree final : public compiled_expr {
 public:
  compiled_tree(std::unique_ptr<node> root, std::unique_ptr<batch_predicate> batch, int columns)
      : root_(std::move(root)), batch_(std::move(batch)), columns_needed_(columns) {}

  value eval(const expr_env& env, uint32_t handle, int64_t position) const override {
    if (!covers(env)) return value();
    return eval_value(*root_, {env.columns.data(), handle, position, &env});
  }

  bool test(const expr_env& env, uint32_t handle, int64_t position) const override {
    if (!covers(env)) return false;
    return eval_condition(*root_, {env.columns.data(), handle, position, &env}) == tri::yes;
  }

  int64_t find_first(const expr_env& env, std::span<const uint32_t> rows,
                     int64_t first_position) const override {
    if (!batch_) return compiled_expr::find_first(env, rows, first_position);
    if (!covers(env)) return -1;
    return batch_->find(env.columns.data(), rows.data(), rows.size());
  }

  void test_rows(const expr_env& env, std::span<const uint32_t> rows, int64_t first_position,
                 std::vector<uint8_t>& passing) const override {
    if (!batch_) return compiled_expr::test_rows(env, rows, first_position, passing);
    passing.resize(rows.size());
    if (!covers(env)) {
      std::fill(passing.begin(), passing.end(), 0);
      return;
    }
    batch_->pass(env.columns.data(), rows.data(), rows.size(), passing.data());
  }

 private:
  // A storage view without the columns the expression reads evaluates to null.
  bool covers(const expr_env& env) const { return columns_needed_ <= env.columns.size(); }

  std::unique_ptr<node> root_;
  std::unique_ptr<batch_predicate> batch_;
  size_t columns_needed_;
};

}  // namespace

std::unique_ptr<compiled_expr> compiled_expr::compile(std::string_view text,
                                                      const expr_schema& schema,
                                                      std::string& error) {
  error.clear();
  try {
    auto ast = parse_expression(text, error);
    if (!ast) return nullptr;
    if (!type_check(*ast, schema, error)) return nullptr;
    auto root = build_nodes(*ast);
    auto batch = make_batch_predicate(*ast);
    return std::make_unique<compiled_tree>(std::move(root), std::move(batch),
                                           highest_column(*ast) + 1);
  } catch (const std::exception& e) {
    error = std::string("cannot compile the expression: ") + e.what();
  } catch (...) {
    error = "cannot compile the expression";
  }
  return nullptr;
}

int64_t compiled_expr::find_first(const expr_env& env, std::span<const uint32_t> rows,
                                  int64_t first_position) const {
  for (size_t i = 0; i < rows.size(); ++i) {
    if (test(env, rows[i], first_position + int64_t(i))) return int64_t(i);
  }
  return -1;
}

void compiled_expr::test_rows(const expr_env& env, std::span<const uint32_t> rows,
                              int64_t first_position, std::vector<uint8_t>& passing) const {
  passing.resize(rows.size());
  for (size_t i = 0; i < rows.size(); ++i)
    passing[i] = test(env, rows[i], first_position + int64_t(i));
}
