#pragma once
// Evaluation nodes: the compiled form of an expression. Each node has a static type and answers
// through the one eval_* method of that type, reading cells straight from column storage.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "framework/value/value.h"
#include "framework/expression/ast.h"
#include "framework/expression/expression.h"

struct eval_ctx {
  const column_data* columns;
  uint32_t handle;
  int64_t position;
  const expr_env* env;
};

// Three-valued truth.
enum class tri : uint8_t { no = 0, yes = 1, null = 2 };

struct opt_long {
  int64_t v = 0;
  bool null = true;
};
struct opt_dec {
  decimal v;
  bool null = true;
};
struct opt_date {
  int64_t seconds = 0;
  bool null = true;
};
// A string result: a view into column storage or a literal, or text the node produced.
struct opt_text {
  bool null = true;
  bool owned = false;
  std::string_view view;
  std::string buffer;
  std::string_view text() const { return owned ? std::string_view(buffer) : view; }
  static opt_text of(std::string_view v) {
    opt_text t;
    t.null = false;
    t.view = v;
    return t;
  }
  static opt_text make(std::string s) {
    opt_text t;
    t.null = false;
    t.owned = true;
    t.buffer = std::move(s);
    return t;
  }
};

class node {
 public:
  explicit node(expr_type t) : type(t) {}
  virtual ~node() = default;
  node(const node&) = delete;
  node& operator=(const node&) = delete;

  // Only the method of the node's type is meaningful; the others answer null.
  virtual tri eval_bool(const eval_ctx&) const { return tri::null; }
  virtual opt_long eval_long(const eval_ctx&) const { return {}; }
  virtual opt_dec eval_dec(const eval_ctx&) const { return {}; }
  virtual opt_text eval_text(const eval_ctx&) const { return {}; }
  virtual opt_date eval_date(const eval_ctx&) const { return {}; }

  const expr_type type;
};

// A node of type t that always answers null.
std::unique_ptr<node> make_null_node(expr_type t);
// A long or decimal node read as a decimal.
opt_dec eval_number(const node& n, const eval_ctx& c);
// A condition: booleans as they are, numbers true when non-zero, null otherwise.
tri eval_condition(const node& n, const eval_ctx& c);
// The node's result as a value (booleans as long 1/0).
value eval_value(const node& n, const eval_ctx& c);
