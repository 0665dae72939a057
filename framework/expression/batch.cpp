#include "framework/expression/batch.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "framework/expression/numeric.h"

namespace {

using T = expr_type;
constexpr size_t chunk = 4096;

template <op_kind Op, class A, class B>
inline bool holds(const A& a, const B& b) {
  if constexpr (Op == op_kind::eq) return a == b;
  else if constexpr (Op == op_kind::ne) return a != b;
  else if constexpr (Op == op_kind::lt) return a < b;
  else if constexpr (Op == op_kind::le) return a <= b;
  else if constexpr (Op == op_kind::gt) return a > b;
  else return a >= b;
}

// Operand sources, bound to the column arrays at the start of each batch call. Copying the
// pointers into locals matters: stores through uint8_t* may alias anything.
struct long_source {
  const uint8_t* nulls;
  const int64_t* v;
  bool null(uint32_t h) const { return nulls && nulls[h]; }
  int64_t get(uint32_t h) const { return v[h]; }
};
struct decimal_source {
  const uint8_t* nulls;
  const __int128* v;
  bool null(uint32_t h) const { return nulls && nulls[h]; }
  __int128 get(uint32_t h) const { return v[h]; }
};
struct constant_source {
  __int128 c;
  bool null(uint32_t) const { return false; }
  __int128 get(uint32_t) const { return c; }
};

// Where an operand comes from: a column (by index) or a constant mantissa.
struct operand {
  int column = -1;
  int scale = 0;
  __int128 constant = 0;
};

template <class S>
S bind(const operand& o, const column_data* cols);
template <>
long_source bind<long_source>(const operand& o, const column_data* cols) {
  return {cols[o.column].nulls, cols[o.column].longs};
}
template <>
decimal_source bind<decimal_source>(const operand& o, const column_data* cols) {
  return {cols[o.column].nulls, cols[o.column].decimals};
}
template <>
constant_source bind<constant_source>(const operand& o, const column_data*) {
  return {o.constant};
}

// Numeric comparison of two sources; Scaled when the scales differ.
template <class L, class R, op_kind Op, bool Scaled>
class number_leaf final : public batch_predicate {
 public:
  number_leaf(operand l, operand r) : l_(l), r_(r) {}

  void eval(const column_data* cols, const uint32_t* rows, size_t n, uint8_t* out) const override {
    run<false>(cols, rows, n, out);
  }
  void pass(const column_data* cols, const uint32_t* rows, size_t n, uint8_t* out) const override {
    run<true>(cols, rows, n, out);
  }
  int64_t find(const column_data* cols, const uint32_t* rows, size_t n) const override {
    const L l = bind<L>(l_, cols);
    const R r = bind<R>(r_, cols);
    for (size_t i = 0; i < n; ++i) {
      const uint32_t h = rows[i];
      if (!l.null(h) && !r.null(h) && test(l, r, h)) return int64_t(i);
    }
    return -1;
  }

 private:
  bool test(const L& l, const R& r, uint32_t h) const {
    if constexpr (Scaled) {
      const int c = cmp_scaled(l.get(h), l_.scale, r.get(h), r_.scale);
      return holds<Op>(c, 0);
    } else {
      return holds<Op>(l.get(h), r.get(h));
    }
  }

  template <bool Pass>
  void run(const column_data* cols, const uint32_t* rows, size_t n, uint8_t* out) const {
    const L l = bind<L>(l_, cols);
    const R r = bind<R>(r_, cols);
    for (size_t i = 0; i < n; ++i) {
      const uint32_t h = rows[i];
      const bool null = (int(l.null(h)) | int(r.null(h))) != 0;
      const bool t = test(l, r, h);
      if constexpr (Pass) out[i] = uint8_t(!null & t);
      else out[i] = null ? 2 : uint8_t(t);
    }
  }

  operand l_, r_;
};

// Byte-wise string comparison of a column with a column or a literal.
template <op_kind Op, bool Literal>
class text_leaf final : public batch_predicate {
 public:
  text_leaf(int l, int r, std::string literal) : l_(l), r_(r), literal_(std::move(literal)) {}

  void eval(const column_data* cols, const uint32_t* rows, size_t n, uint8_t* out) const override {
    run<false>(cols, rows, n, out);
  }
  void pass(const column_data* cols, const uint32_t* rows, size_t n, uint8_t* out) const override {
    run<true>(cols, rows, n, out);
  }
  int64_t find(const column_data* cols, const uint32_t* rows, size_t n) const override {
    const view l = bind_view(cols[l_]);
    const view r = Literal ? view{} : bind_view(cols[r_]);
    for (size_t i = 0; i < n; ++i) {
      const uint32_t h = rows[i];
      if (!l.null(h) && (Literal || !r.null(h)) && test(l, r, h)) return int64_t(i);
    }
    return -1;
  }

 private:
  struct view {
    const uint8_t* nulls = nullptr;
    const uint32_t* offset = nullptr;
    const uint32_t* length = nullptr;
    const char* arena = nullptr;
    bool null(uint32_t h) const { return nulls && nulls[h]; }
  };
  static view bind_view(const column_data& c) {
    return {c.nulls, c.str_offset, c.str_length, c.arena};
  }

  bool test(const view& l, const view& r, uint32_t h) const {
    const char* a = l.arena + l.offset[h];
    const size_t an = l.length[h];
    const char* b = Literal ? literal_.data() : r.arena + r.offset[h];
    const size_t bn = Literal ? literal_.size() : r.length[h];
    // Empty texts compare without memcmp: their pointer may be null (no text stored yet).
    if constexpr (Op == op_kind::eq) return an == bn && (an == 0 || std::memcmp(a, b, an) == 0);
    else if constexpr (Op == op_kind::ne) return an != bn || (an != 0 && std::memcmp(a, b, an) != 0);
    else {
      const int c = std::string_view(a, an).compare(std::string_view(b, bn));
      return holds<Op>(c, 0);
    }
  }

  template <bool Pass>
  void run(const column_data* cols, const uint32_t* rows, size_t n, uint8_t* out) const {
    const view l = bind_view(cols[l_]);
    const view r = Literal ? view{} : bind_view(cols[r_]);
    for (size_t i = 0; i < n; ++i) {
      const uint32_t h = rows[i];
      const bool null = l.null(h) || (!Literal && r.null(h));
      if constexpr (Pass) out[i] = uint8_t(!null && test(l, r, h));
      else out[i] = null ? 2 : uint8_t(test(l, r, h));
    }
  }

  int l_, r_;
  std::string literal_;
};

// and / or / not over three-valued chunks.
class logic_predicate final : public batch_predicate {
 public:
  logic_predicate(op_kind op, std::unique_ptr<batch_predicate> a, std::unique_ptr<batch_predicate> b)
      : op_(op), a_(std::move(a)), b_(std::move(b)) {}

  void eval(const column_data* cols, const uint32_t* rows, size_t n, uint8_t* out) const override {
    a_->eval(cols, rows, n, out);
    if (op_ == op_kind::not_) {
      static constexpr uint8_t negate[3] = {1, 0, 2};
      for (size_t i = 0; i < n; ++i) out[i] = negate[out[i]];
      return;
    }
    // [left * 3 + right]: 0 false, 1 true, 2 null.
    static constexpr uint8_t and_table[9] = {0, 0, 0, 0, 1, 2, 0, 2, 2};
    static constexpr uint8_t or_table[9] = {0, 1, 2, 1, 1, 1, 2, 1, 2};
    const uint8_t* table = op_ == op_kind::and_ ? and_table : or_table;
    std::vector<uint8_t> right(std::min(n, chunk));
    for (size_t done = 0; done < n; done += chunk) {
      const size_t m = std::min(chunk, n - done);
      b_->eval(cols, rows + done, m, right.data());
      uint8_t* o = out + done;
      for (size_t i = 0; i < m; ++i) o[i] = table[o[i] * 3 + right[i]];
    }
  }

  // True-or-not composes without the null state: and passes when both pass, or when either.
  void pass(const column_data* cols, const uint32_t* rows, size_t n, uint8_t* out) const override {
    if (op_ == op_kind::not_) return batch_predicate::pass(cols, rows, n, out);
    a_->pass(cols, rows, n, out);
    std::vector<uint8_t> right(std::min(n, chunk));
    for (size_t done = 0; done < n; done += chunk) {
      const size_t m = std::min(chunk, n - done);
      b_->pass(cols, rows + done, m, right.data());
      uint8_t* o = out + done;
      if (op_ == op_kind::and_) {
        for (size_t i = 0; i < m; ++i) o[i] &= right[i];
      } else {
        for (size_t i = 0; i < m; ++i) o[i] |= right[i];
      }
    }
  }

 private:
  op_kind op_;
  std::unique_ptr<batch_predicate> a_, b_;
};

template <class L, class R, op_kind Op>
std::unique_ptr<batch_predicate> number_leaf_for(const operand& l, const operand& r) {
  if (l.scale == r.scale) return std::make_unique<number_leaf<L, R, Op, false>>(l, r);
  return std::make_unique<number_leaf<L, R, Op, true>>(l, r);
}

template <op_kind Op>
std::unique_ptr<batch_predicate> number_leaf_op(T lt, const operand& l, T rt, bool r_constant,
                                                const operand& r) {
  const bool l_long = lt != T::decimal_t;
  const bool r_long = rt != T::decimal_t;
  if (r_constant) {
    if (l_long) return number_leaf_for<long_source, constant_source, Op>(l, r);
    return number_leaf_for<decimal_source, constant_source, Op>(l, r);
  }
  if (l_long && r_long) return number_leaf_for<long_source, long_source, Op>(l, r);
  if (l_long) return number_leaf_for<long_source, decimal_source, Op>(l, r);
  if (r_long) return number_leaf_for<decimal_source, long_source, Op>(l, r);
  return number_leaf_for<decimal_source, decimal_source, Op>(l, r);
}

template <op_kind Op>
std::unique_ptr<batch_predicate> text_leaf_op(int l, const ast_node& r) {
  if (r.kind == ast_kind::column) return std::make_unique<text_leaf<Op, false>>(l, r.column, "");
  return std::make_unique<text_leaf<Op, true>>(l, -1, r.literal.as_string());
}

template <template <op_kind> class F, class... A>
auto by_op(op_kind op, A&&... a) {
  switch (op) {
    case op_kind::eq: return F<op_kind::eq>::make(a...);
    case op_kind::ne: return F<op_kind::ne>::make(a...);
    case op_kind::lt: return F<op_kind::lt>::make(a...);
    case op_kind::le: return F<op_kind::le>::make(a...);
    case op_kind::gt: return F<op_kind::gt>::make(a...);
    default: return F<op_kind::ge>::make(a...);
  }
}
template <op_kind Op>
struct make_number {
  template <class... A>
  static std::unique_ptr<batch_predicate> make(A&... a) { return number_leaf_op<Op>(a...); }
};
template <op_kind Op>
struct make_text {
  template <class... A>
  static std::unique_ptr<batch_predicate> make(A&... a) { return text_leaf_op<Op>(a...); }
};

bool is_operand(const ast_node& n) {
  return n.kind == ast_kind::column || (n.kind == ast_kind::literal && n.type != T::null_t);
}

std::unique_ptr<batch_predicate> comparison_leaf(const ast_node& n) {
  const ast_node* l = n.args[0].get();
  const ast_node* r = n.args[1].get();
  if (!is_operand(*l) || !is_operand(*r)) return nullptr;
  op_kind op = n.op;
  if (l->kind == ast_kind::literal) {
    std::swap(l, r);
    op = flipped(op);
  }
  if (l->kind != ast_kind::column) return nullptr;  // literal against literal
  if (l->type == T::string_t && r->type == T::string_t) return by_op<make_text>(op, l->column, *r);
  const bool numbers = is_numeric(l->type) && is_numeric(r->type);
  const bool dates = l->type == T::date_t && r->type == T::date_t;
  if (!numbers && !dates) return nullptr;
  operand lo{l->column, l->type == T::decimal_t ? l->scale : 0, 0};
  operand ro;
  const bool constant = r->kind == ast_kind::literal;
  if (!constant) {
    ro = {r->column, r->type == T::decimal_t ? r->scale : 0, 0};
  } else if (r->type == T::long_t) {
    ro.constant = r->literal.as_long();
  } else {
    const decimal& d = r->literal.as_decimal();
    if (d.scale < 0 || d.scale > 18) return nullptr;
    ro.constant = d.mantissa;
    ro.scale = d.scale;
  }
  // A constant raised exactly to the column's scale compares without scaling per row.
  __int128 raised;
  if (constant && ro.scale < lo.scale &&
      !__builtin_mul_overflow(ro.constant, __int128(pow10_table[lo.scale - ro.scale]), &raised)) {
    ro.constant = raised;
    ro.scale = lo.scale;
  }
  return by_op<make_number>(op, l->type, lo, r->type, constant, ro);
}

}  // namespace

void batch_predicate::pass(const column_data* cols, const uint32_t* rows, size_t n,
                           uint8_t* out) const {
  eval(cols, rows, n, out);
  for (size_t i = 0; i < n; ++i) out[i] = out[i] == 1;
}

int64_t batch_predicate::find(const column_data* cols, const uint32_t* rows, size_t n) const {
  std::vector<uint8_t> buffer(std::min(n, chunk));
  for (size_t done = 0; done < n; done += chunk) {
    const size_t m = std::min(chunk, n - done);
    pass(cols, rows + done, m, buffer.data());
    const void* hit = std::memchr(buffer.data(), 1, m);
    if (hit) return int64_t(done + (static_cast<const uint8_t*>(hit) - buffer.data()));
  }
  return -1;
}

std::unique_ptr<batch_predicate> make_batch_predicate(const ast_node& root) {
  if (root.kind == ast_kind::binary && (root.op == op_kind::and_ || root.op == op_kind::or_)) {
    auto a = make_batch_predicate(*root.args[0]);
    if (!a) return nullptr;
    auto b = make_batch_predicate(*root.args[1]);
    if (!b) return nullptr;
    return std::make_unique<logic_predicate>(root.op, std::move(a), std::move(b));
  }
  if (root.kind == ast_kind::unary && root.op == op_kind::not_) {
    auto a = make_batch_predicate(*root.args[0]);
    if (!a) return nullptr;
    return std::make_unique<logic_predicate>(op_kind::not_, std::move(a), nullptr);
  }
  if (root.kind == ast_kind::binary && is_comparison(root.op)) return comparison_leaf(root);
  return nullptr;
}
