#include "framework/expression/functions.h"

#include <array>
#include <utility>

#include "framework/expression/dates.h"
#include "framework/expression/numeric.h"

namespace {

using T = expr_type;
using node_ptr = std::unique_ptr<node>;
using node_list = std::vector<node_ptr>;

constexpr std::array<function_info, 17> functions = {{
    {"getrow", fn_id::getrow, 0, 0},
    {"int", fn_id::int_, 1, 1},
    {"abs", fn_id::abs, 1, 1},
    {"len", fn_id::len, 1, 1},
    {"trim", fn_id::trim, 1, 1},
    {"upper", fn_id::upper, 1, 1},
    {"lower", fn_id::lower, 1, 1},
    {"isnull", fn_id::isnull, 1, 1},
    {"if", fn_id::if_, 3, 3},
    {"today", fn_id::today, 0, 0},
    {"date", fn_id::date, 1, 1},
    {"string", fn_id::string, 1, 2},
    {"daysafter", fn_id::daysafter, 2, 2},
    {"years_after", fn_id::years_after, 2, 2},
    {"year", fn_id::year, 1, 1},
    {"month", fn_id::month, 1, 1},
    {"day", fn_id::day, 1, 1},
}};

bool is_null_result(const node& n, const eval_ctx& x) {
  switch (n.type) {
    case T::bool_t: return n.eval_bool(x) == tri::null;
    case T::long_t: return n.eval_long(x).null;
    case T::decimal_t: return n.eval_dec(x).null;
    case T::string_t: return n.eval_text(x).null;
    case T::date_t: return n.eval_date(x).null;
    case T::null_t: return true;
  }
  return true;
}

class getrow_node final : public node {
 public:
  getrow_node() : node(T::long_t) {}
  opt_long eval_long(const eval_ctx& x) const override { return {x.position, false}; }
};

class today_node final : public node {
 public:
  today_node() : node(T::date_t) {}
  opt_date eval_date(const eval_ctx& x) const override { return {x.env->today.seconds, false}; }
};

class isnull_node final : public node {
 public:
  explicit isnull_node(node_ptr a) : node(T::bool_t), a_(std::move(a)) {}
  tri eval_bool(const eval_ctx& x) const override {
    return is_null_result(*a_, x) ? tri::yes : tri::no;
  }

 private:
  node_ptr a_;
};

// int(x): rounded toward minus infinity.
class int_node final : public node {
 public:
  explicit int_node(node_ptr a) : node(T::long_t), a_(std::move(a)) {}
  opt_long eval_long(const eval_ctx& x) const override {
    if (a_->type == T::long_t) return a_->eval_long(x);
    const opt_dec d = a_->eval_dec(x);
    if (d.null) return {};
    const auto v = floor_to_long(d.v);
    if (!v) return {};
    return {*v, false};
  }

 private:
  node_ptr a_;
};

class abs_node final : public node {
 public:
  explicit abs_node(node_ptr a) : node(a->type), a_(std::move(a)) {}
  opt_long eval_long(const eval_ctx& x) const override {
    const opt_long v = a_->eval_long(x);
    if (v.null || v.v == INT64_MIN) return {};
    return {v.v < 0 ? -v.v : v.v, false};
  }
  opt_dec eval_dec(const eval_ctx& x) const override {
    opt_dec v = a_->eval_dec(x);
    if (v.v.mantissa == min_mantissa) return {};
    if (v.v.mantissa < 0) v.v.mantissa = -v.v.mantissa;
    return v;
  }

 private:
  node_ptr a_;
};

// len(s): characters of UTF-8 text.
class len_node final : public node {
 public:
  explicit len_node(node_ptr a) : node(T::long_t), a_(std::move(a)) {}
  opt_long eval_long(const eval_ctx& x) const override {
    const opt_text s = a_->eval_text(x);
    if (s.null) return {};
    int64_t n = 0;
    for (unsigned char c : s.text()) n += (c & 0xC0) != 0x80;
    return {n, false};
  }

 private:
  node_ptr a_;
};

class text_function final : public node {
 public:
  text_function(fn_id id, node_ptr a) : node(T::string_t), id_(id), a_(std::move(a)) {}
  opt_text eval_text(const eval_ctx& x) const override {
    opt_text s = a_->eval_text(x);
    if (s.null) return s;
    std::string_view v = s.text();
    if (id_ == fn_id::trim) {
      while (!v.empty() && v.front() == ' ') v.remove_prefix(1);
      while (!v.empty() && v.back() == ' ') v.remove_suffix(1);
      if (!s.owned) return opt_text::of(v);
      return opt_text::make(std::string(v));
    }
    std::string r(v);
    for (char& c : r) {
      if (id_ == fn_id::upper && c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
      if (id_ == fn_id::lower && c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    }
    return opt_text::make(std::move(r));
  }

 private:
  fn_id id_;
  node_ptr a_;
};

class if_node final : public node {
 public:
  if_node(T type, node_list args) : node(type), args_(std::move(args)) {}
  const node& pick(const eval_ctx& x) const {
    return *args_[eval_condition(*args_[0], x) == tri::yes ? 1 : 2];
  }
  tri eval_bool(const eval_ctx& x) const override { return pick(x).eval_bool(x); }
  opt_long eval_long(const eval_ctx& x) const override { return pick(x).eval_long(x); }
  opt_dec eval_dec(const eval_ctx& x) const override { return eval_number(pick(x), x); }
  opt_text eval_text(const eval_ctx& x) const override { return pick(x).eval_text(x); }
  opt_date eval_date(const eval_ctx& x) const override { return pick(x).eval_date(x); }

 private:
  node_list args_;
};

class date_node final : public node {
 public:
  explicit date_node(node_ptr a) : node(T::date_t), a_(std::move(a)) {}
  opt_date eval_date(const eval_ctx& x) const override {
    if (a_->type == T::date_t) {
      const opt_date d = a_->eval_date(x);
      if (d.null) return d;
      return {midnight(d.seconds), false};
    }
    const opt_text s = a_->eval_text(x);
    if (s.null) return {};
    const auto d = parse_calendar_date(s.text());
    if (!d) return {};
    return {*d, false};
  }

 private:
  node_ptr a_;
};

// Whole days or completed years from the first date to the second.
class date_span_node final : public node {
 public:
  date_span_node(bool years, node_ptr a, node_ptr b)
      : node(T::long_t), years_(years), a_(std::move(a)), b_(std::move(b)) {}
  opt_long eval_long(const eval_ctx& x) const override {
    const opt_date from = a_->eval_date(x);
    if (from.null) return {};
    const opt_date to = b_->eval_date(x);
    if (to.null) return {};
    return {years_ ? years_after(from.seconds, to.seconds) : days_after(from.seconds, to.seconds),
            false};
  }

 private:
  bool years_;
  node_ptr a_, b_;
};

class date_part_node final : public node {
 public:
  date_part_node(fn_id id, node_ptr a) : node(T::long_t), id_(id), a_(std::move(a)) {}
  opt_long eval_long(const eval_ctx& x) const override {
    const opt_date d = a_->eval_date(x);
    if (d.null) return {};
    int y, mo, dd, h, mi, s;
    datetime{d.seconds}.parts(y, mo, dd, h, mi, s);
    return {id_ == fn_id::year ? y : id_ == fn_id::month ? mo : dd, false};
  }

 private:
  fn_id id_;
  node_ptr a_;
};

// string(x): the value as plain text.
class string_node final : public node {
 public:
  explicit string_node(node_ptr a) : node(T::string_t), a_(std::move(a)) {}
  opt_text eval_text(const eval_ctx& x) const override {
    if (a_->type == T::string_t) return a_->eval_text(x);
    if (a_->type == T::bool_t) {
      const tri b = a_->eval_bool(x);
      if (b == tri::null) return {};
      return opt_text::of(b == tri::yes ? "true" : "false");
    }
    const value v = eval_value(*a_, x);
    if (v.is_null()) return {};
    return opt_text::make(v.to_text());
  }

 private:
  node_ptr a_;
};

// string(x, mask): the digits of a whole number that is not negative (or the characters of a
// string) fill the mask's '#' places in order; other mask characters stand as they are. When
// the count differs from the mask's '#' count the result is null.
class mask_node final : public node {
 public:
  mask_node(node_ptr a, node_ptr mask)
      : node(T::string_t), a_(std::move(a)), mask_(std::move(mask)) {}
  opt_text eval_text(const eval_ctx& x) const override {
    const opt_text mask = mask_->eval_text(x);
    if (mask.null) return {};
    std::string digits;
    if (a_->type == T::string_t) {
      const opt_text s = a_->eval_text(x);
      if (s.null) return {};
      digits.assign(s.text());
    } else if (a_->type == T::long_t) {
      const opt_long v = a_->eval_long(x);
      if (v.null || v.v < 0) return {};
      digits = std::to_string(v.v);
    } else if (a_->type == T::decimal_t) {
      const opt_dec v = a_->eval_dec(x);
      if (v.null || v.v.mantissa < 0) return {};
      const auto whole = floor_to_long(v.v);
      if (!whole || cmp_scaled(*whole, 0, v.v.mantissa, v.v.scale) != 0) return {};
      digits = std::to_string(*whole);
    } else {
      return {};
    }
    const std::string_view m = mask.text();
    std::string out;
    out.reserve(m.size());
    size_t next = 0;
    for (char c : m) {
      if (c != '#') {
        out += c;
        continue;
      }
      if (next == digits.size()) return {};
      out += digits[next++];
    }
    if (next != digits.size()) return {};
    return opt_text::make(std::move(out));
  }

 private:
  node_ptr a_, mask_;
};

}  // namespace

const function_info* find_function(std::string_view name) {
  for (const function_info& f : functions) {
    if (f.name == name) return &f;
  }
  return nullptr;
}

const function_info& function_by_id(int id) { return functions[size_t(id)]; }

std::unique_ptr<node> make_function_node(fn_id id, expr_type type, node_list args) {
  // Every function of a null argument is null, except isnull and if.
  if (id != fn_id::isnull && id != fn_id::if_) {
    for (const auto& a : args) {
      if (a->type == T::null_t) return make_null_node(type);
    }
  }
  switch (id) {
    case fn_id::getrow: return std::make_unique<getrow_node>();
    case fn_id::today: return std::make_unique<today_node>();
    case fn_id::isnull: return std::make_unique<isnull_node>(std::move(args[0]));
    case fn_id::int_: return std::make_unique<int_node>(std::move(args[0]));
    case fn_id::abs: return std::make_unique<abs_node>(std::move(args[0]));
    case fn_id::len: return std::make_unique<len_node>(std::move(args[0]));
    case fn_id::trim:
    case fn_id::upper:
    case fn_id::lower: return std::make_unique<text_function>(id, std::move(args[0]));
    case fn_id::if_: return std::make_unique<if_node>(type, std::move(args));
    case fn_id::date: return std::make_unique<date_node>(std::move(args[0]));
    case fn_id::string:
      if (args.size() == 2) return std::make_unique<mask_node>(std::move(args[0]), std::move(args[1]));
      return std::make_unique<string_node>(std::move(args[0]));
    case fn_id::daysafter:
    case fn_id::years_after:
      return std::make_unique<date_span_node>(id == fn_id::years_after, std::move(args[0]),
                                              std::move(args[1]));
    case fn_id::year:
    case fn_id::month:
    case fn_id::day: return std::make_unique<date_part_node>(id, std::move(args[0]));
  }
  return nullptr;
}
