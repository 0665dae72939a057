#include "framework/expression/compile.h"

#include <utility>
#include <vector>

#include "framework/expression/functions.h"
#include "framework/expression/numeric.h"

namespace {

using T = expr_type;
using node_ptr = std::unique_ptr<node>;

// ---- literals

class null_node final : public node {
 public:
  explicit null_node(T t) : node(t) {}
};

class bool_literal final : public node {
 public:
  explicit bool_literal(bool b) : node(T::bool_t), v_(b ? tri::yes : tri::no) {}
  tri eval_bool(const eval_ctx&) const override { return v_; }

 private:
  tri v_;
};

class long_literal final : public node {
 public:
  explicit long_literal(int64_t v) : node(T::long_t), v_(v) {}
  opt_long eval_long(const eval_ctx&) const override { return {v_, false}; }

 private:
  int64_t v_;
};

class decimal_literal final : public node {
 public:
  explicit decimal_literal(decimal v) : node(T::decimal_t), v_(v) {}
  opt_dec eval_dec(const eval_ctx&) const override { return {v_, false}; }

 private:
  decimal v_;
};

class text_literal final : public node {
 public:
  explicit text_literal(std::string v) : node(T::string_t), v_(std::move(v)) {}
  opt_text eval_text(const eval_ctx&) const override { return opt_text::of(v_); }

 private:
  std::string v_;
};

// ---- columns

inline bool is_null_cell(const column_data& c, uint32_t h) { return c.nulls && c.nulls[h]; }

class long_column final : public node {
 public:
  explicit long_column(int col) : node(T::long_t), col_(col) {}
  opt_long eval_long(const eval_ctx& x) const override {
    const column_data& c = x.columns[col_];
    if (is_null_cell(c, x.handle)) return {};
    return {c.longs[x.handle], false};
  }

 private:
  int col_;
};

class decimal_column final : public node {
 public:
  decimal_column(int col, int scale) : node(T::decimal_t), col_(col), scale_(scale) {}
  opt_dec eval_dec(const eval_ctx& x) const override {
    const column_data& c = x.columns[col_];
    if (is_null_cell(c, x.handle)) return {};
    return {decimal{c.decimals[x.handle], scale_}, false};
  }

 private:
  int col_;
  int scale_;
};

class date_column final : public node {
 public:
  explicit date_column(int col) : node(T::date_t), col_(col) {}
  opt_date eval_date(const eval_ctx& x) const override {
    const column_data& c = x.columns[col_];
    if (is_null_cell(c, x.handle)) return {};
    return {c.longs[x.handle], false};
  }

 private:
  int col_;
};

class text_column final : public node {
 public:
  explicit text_column(int col) : node(T::string_t), col_(col) {}
  opt_text eval_text(const eval_ctx& x) const override {
    const column_data& c = x.columns[col_];
    if (is_null_cell(c, x.handle)) return {};
    return opt_text::of(
        std::string_view(c.arena + c.str_offset[x.handle], c.str_length[x.handle]));
  }

 private:
  int col_;
};

// ---- unary

class not_node final : public node {
 public:
  explicit not_node(node_ptr a) : node(T::bool_t), a_(std::move(a)) {}
  tri eval_bool(const eval_ctx& x) const override {
    const tri v = eval_condition(*a_, x);
    return v == tri::null ? tri::null : v == tri::yes ? tri::no : tri::yes;
  }

 private:
  node_ptr a_;
};

class negate_long final : public node {
 public:
  explicit negate_long(node_ptr a) : node(T::long_t), a_(std::move(a)) {}
  opt_long eval_long(const eval_ctx& x) const override {
    const opt_long v = a_->eval_long(x);
    if (v.null || v.v == INT64_MIN) return {};
    return {-v.v, false};
  }

 private:
  node_ptr a_;
};

class negate_decimal final : public node {
 public:
  explicit negate_decimal(node_ptr a) : node(T::decimal_t), a_(std::move(a)) {}
  opt_dec eval_dec(const eval_ctx& x) const override {
    opt_dec v = a_->eval_dec(x);
    if (v.v.mantissa == min_mantissa) return {};
    v.v.mantissa = -v.v.mantissa;
    return v;
  }

 private:
  node_ptr a_;
};

// ---- and / or, three-valued, evaluating the right side only when it can matter

class logic_node final : public node {
 public:
  logic_node(bool is_and, node_ptr a, node_ptr b)
      : node(T::bool_t), and_(is_and), a_(std::move(a)), b_(std::move(b)) {}
  tri eval_bool(const eval_ctx& x) const override {
    const tri decisive = and_ ? tri::no : tri::yes;
    const tri l = eval_condition(*a_, x);
    if (l == decisive) return decisive;
    const tri r = eval_condition(*b_, x);
    if (r == decisive) return decisive;
    if (l == tri::null || r == tri::null) return tri::null;
    return and_ ? tri::yes : tri::no;
  }

 private:
  bool and_;
  node_ptr a_, b_;
};

// ---- arithmetic

class long_arith final : public node {
 public:
  long_arith(op_kind op, node_ptr a, node_ptr b)
      : node(T::long_t), op_(op), a_(std::move(a)), b_(std::move(b)) {}
  opt_long eval_long(const eval_ctx& x) const override {
    const opt_long l = a_->eval_long(x);
    if (l.null) return {};
    const opt_long r = b_->eval_long(x);
    if (r.null) return {};
    int64_t v;
    bool overflow;
    switch (op_) {
      case op_kind::add: overflow = __builtin_add_overflow(l.v, r.v, &v); break;
      case op_kind::sub: overflow = __builtin_sub_overflow(l.v, r.v, &v); break;
      default: overflow = __builtin_mul_overflow(l.v, r.v, &v); break;
    }
    if (overflow) return {};
    return {v, false};
  }

 private:
  op_kind op_;
  node_ptr a_, b_;
};

class decimal_arith final : public node {
 public:
  decimal_arith(op_kind op, node_ptr a, node_ptr b)
      : node(T::decimal_t), op_(op), a_(std::move(a)), b_(std::move(b)) {}
  opt_dec eval_dec(const eval_ctx& x) const override {
    const opt_dec l = eval_number(*a_, x);
    if (l.null) return {};
    const opt_dec r = eval_number(*b_, x);
    if (r.null) return {};
    std::optional<decimal> v;
    switch (op_) {
      case op_kind::add: v = checked_add(l.v, r.v); break;
      case op_kind::sub: v = checked_sub(l.v, r.v); break;
      case op_kind::mul: v = checked_mul(l.v, r.v); break;
      default: v = checked_div(l.v, r.v); break;
    }
    if (!v) return {};
    return {*v, false};
  }

 private:
  op_kind op_;
  node_ptr a_, b_;
};

class concat_node final : public node {
 public:
  concat_node(node_ptr a, node_ptr b) : node(T::string_t), a_(std::move(a)), b_(std::move(b)) {}
  opt_text eval_text(const eval_ctx& x) const override {
    const opt_text l = a_->eval_text(x);
    if (l.null) return {};
    const opt_text r = b_->eval_text(x);
    if (r.null) return {};
    std::string s;
    s.reserve(l.text().size() + r.text().size());
    s.append(l.text());
    s.append(r.text());
    return opt_text::make(std::move(s));
  }

 private:
  node_ptr a_, b_;
};

// ---- comparisons

// A long or decimal as mantissa and scale; false when null.
inline bool number_parts(const node& n, const eval_ctx& x, __int128& m, int& s) {
  if (n.type == T::long_t) {
    const opt_long v = n.eval_long(x);
    m = v.v;
    s = 0;
    return !v.null;
  }
  const opt_dec v = n.eval_dec(x);
  m = v.v.mantissa;
  s = v.v.scale;
  return !v.null && s >= 0 && s <= 18;
}

class compare_node final : public node {
 public:
  compare_node(op_kind op, node_ptr a, node_ptr b)
      : node(T::bool_t), op_(op), a_(std::move(a)), b_(std::move(b)) {}
  tri eval_bool(const eval_ctx& x) const override {
    int c;
    switch (a_->type) {
      case T::long_t:
      case T::decimal_t: {
        __int128 l, r;
        int ls, rs;
        if (!number_parts(*a_, x, l, ls) || !number_parts(*b_, x, r, rs)) return tri::null;
        c = cmp_scaled(l, ls, r, rs);
        break;
      }
      case T::string_t: {
        const opt_text l = a_->eval_text(x);
        if (l.null) return tri::null;
        const opt_text r = b_->eval_text(x);
        if (r.null) return tri::null;
        c = compare_text(l.text(), r.text());
        break;
      }
      case T::date_t: {
        const opt_date l = a_->eval_date(x);
        if (l.null) return tri::null;
        const opt_date r = b_->eval_date(x);
        if (r.null) return tri::null;
        c = (l.seconds > r.seconds) - (l.seconds < r.seconds);
        break;
      }
      case T::bool_t: {
        const tri l = a_->eval_bool(x);
        if (l == tri::null) return tri::null;
        const tri r = b_->eval_bool(x);
        if (r == tri::null) return tri::null;
        c = int(l) - int(r);
        break;
      }
      default:
        return tri::null;
    }
    return compare_holds(op_, c) ? tri::yes : tri::no;
  }

 private:
  op_kind op_;
  node_ptr a_, b_;
};

node_ptr build_literal(const ast_node& n) {
  switch (n.type) {
    case T::bool_t: return std::make_unique<bool_literal>(n.literal.as_long() != 0);
    case T::long_t: return std::make_unique<long_literal>(n.literal.as_long());
    case T::decimal_t: return std::make_unique<decimal_literal>(n.literal.as_decimal());
    case T::string_t: return std::make_unique<text_literal>(n.literal.as_string());
    default: return std::make_unique<null_node>(n.type);
  }
}

node_ptr build_column(const ast_node& n) {
  switch (n.type) {
    case T::long_t: return std::make_unique<long_column>(n.column);
    case T::decimal_t: return std::make_unique<decimal_column>(n.column, n.scale);
    case T::date_t: return std::make_unique<date_column>(n.column);
    default: return std::make_unique<text_column>(n.column);
  }
}

node_ptr build_binary(const ast_node& n, node_ptr a, node_ptr b) {
  if (n.op == op_kind::and_ || n.op == op_kind::or_)
    return std::make_unique<logic_node>(n.op == op_kind::and_, std::move(a), std::move(b));
  // Any other operator with a null operand gives null.
  if (a->type == T::null_t || b->type == T::null_t) return std::make_unique<null_node>(n.type);
  if (is_comparison(n.op)) return std::make_unique<compare_node>(n.op, std::move(a), std::move(b));
  if (n.type == T::string_t) return std::make_unique<concat_node>(std::move(a), std::move(b));
  if (n.type == T::long_t) return std::make_unique<long_arith>(n.op, std::move(a), std::move(b));
  return std::make_unique<decimal_arith>(n.op, std::move(a), std::move(b));
}

}  // namespace

std::unique_ptr<node> build_nodes(const ast_node& n) {
  std::vector<node_ptr> args;
  args.reserve(n.args.size());
  for (const auto& a : n.args) args.push_back(build_nodes(*a));
  switch (n.kind) {
    case ast_kind::literal: return build_literal(n);
    case ast_kind::column: return build_column(n);
    case ast_kind::unary:
      if (n.op == op_kind::not_) return std::make_unique<not_node>(std::move(args[0]));
      if (n.type == T::long_t) return std::make_unique<negate_long>(std::move(args[0]));
      if (n.type == T::decimal_t) return std::make_unique<negate_decimal>(std::move(args[0]));
      return std::make_unique<null_node>(n.type);
    case ast_kind::binary: return build_binary(n, std::move(args[0]), std::move(args[1]));
    case ast_kind::call:
      return make_function_node(static_cast<fn_id>(n.function), n.type, std::move(args));
  }
  return std::make_unique<null_node>(n.type);
}

// ---- shared evaluation helpers

std::unique_ptr<node> make_null_node(expr_type t) { return std::make_unique<null_node>(t); }

opt_dec eval_number(const node& n, const eval_ctx& c) {
  if (n.type == T::long_t) {
    const opt_long v = n.eval_long(c);
    if (v.null) return {};
    return {decimal::from_long(v.v), false};
  }
  if (n.type == T::decimal_t) return n.eval_dec(c);
  return {};
}

tri eval_condition(const node& n, const eval_ctx& c) {
  switch (n.type) {
    case T::bool_t: return n.eval_bool(c);
    case T::long_t: {
      const opt_long v = n.eval_long(c);
      return v.null ? tri::null : v.v != 0 ? tri::yes : tri::no;
    }
    case T::decimal_t: {
      const opt_dec v = n.eval_dec(c);
      return v.null ? tri::null : v.v.mantissa != 0 ? tri::yes : tri::no;
    }
    default: return tri::null;
  }
}

value eval_value(const node& n, const eval_ctx& c) {
  switch (n.type) {
    case T::bool_t: {
      const tri v = n.eval_bool(c);
      if (v == tri::null) return value();
      return value(int64_t(v == tri::yes));
    }
    case T::long_t: {
      const opt_long v = n.eval_long(c);
      return v.null ? value() : value(v.v);
    }
    case T::decimal_t: {
      const opt_dec v = n.eval_dec(c);
      return v.null ? value() : value(v.v);
    }
    case T::string_t: {
      opt_text v = n.eval_text(c);
      if (v.null) return value();
      if (v.owned) return value(std::move(v.buffer));
      return value(v.view);
    }
    case T::date_t: {
      const opt_date v = n.eval_date(c);
      return v.null ? value() : value(datetime{v.seconds});
    }
    case T::null_t: return value();
  }
  return value();
}
