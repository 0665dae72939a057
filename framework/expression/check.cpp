#include "framework/expression/check.h"

#include "framework/expression/functions.h"

namespace {

using T = expr_type;

std::string lower(std::string_view s) {
  std::string r(s);
  for (char& c : r) {
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  }
  return r;
}

// "a number", "a string", ...
std::string article(T t) {
  const std::string n = expr_type_name(t);
  return (t == T::null_t ? "" : "a ") + n;
}

class checker {
 public:
  checker(const expr_schema& schema, std::string& error) : schema_(schema), error_(error) {}

  bool check(ast_node& n) {
    for (auto& a : n.args) {
      if (!check(*a)) return false;
    }
    switch (n.kind) {
      case ast_kind::literal: return true;  // typed by the parser
      case ast_kind::column: return column(n);
      case ast_kind::unary: return unary(n);
      case ast_kind::binary: return binary(n);
      case ast_kind::call: return call(n);
    }
    return fail("malformed expression", n.pos);
  }

 private:
  bool fail(const std::string& what, int pos) {
    error_ = what + " at " + std::to_string(pos);
    return false;
  }

  static bool condition(T t) { return t == T::bool_t || is_numeric(t) || t == T::null_t; }

  bool column(ast_node& n) {
    int index = schema_.column_index(n.name);
    if (index < 0) index = schema_.column_index(lower(n.name));
    if (index < 0) return fail("unknown column '" + n.name + "'", n.pos);
    n.column = index;
    switch (schema_.column_type(index)) {
      case col_type::long_t: n.type = T::long_t; break;
      case col_type::decimal_t: n.type = T::decimal_t; break;
      case col_type::string_t: n.type = T::string_t; break;
      case col_type::datetime_t: n.type = T::date_t; break;
      default: return fail("column '" + n.name + "' has an unknown type", n.pos);
    }
    if (n.type == T::decimal_t) {
      n.scale = schema_.column_scale(index);
      if (n.scale < 0 || n.scale > 18)
        return fail("column '" + n.name + "' has an unsupported scale", n.pos);
    }
    return true;
  }

  bool unary(ast_node& n) {
    const T a = n.args[0]->type;
    if (n.op == op_kind::not_) {
      if (!condition(a)) return fail("'not' needs a condition, not " + article(a), n.pos);
      n.type = T::bool_t;
      return true;
    }
    if (!is_numeric(a) && a != T::null_t)
      return fail("'-' needs a number, not " + article(a), n.pos);
    n.type = a;
    return true;
  }

  bool binary(ast_node& n) {
    const T a = n.args[0]->type;
    const T b = n.args[1]->type;
    const std::string op = op_text(n.op);
    if (n.op == op_kind::and_ || n.op == op_kind::or_) {
      if (!condition(a) || !condition(b))
        return fail("'" + op + "' needs conditions, not " + article(condition(a) ? b : a), n.pos);
      n.type = T::bool_t;
      return true;
    }
    if (is_comparison(n.op)) {
      const bool same_kind = a == b || (is_numeric(a) && is_numeric(b)) || a == T::null_t ||
                             b == T::null_t;
      if (!same_kind) return fail("cannot compare " + article(a) + " with " + article(b), n.pos);
      n.type = T::bool_t;
      return true;
    }
    // + - * /
    if (n.op == op_kind::add && (a == T::string_t || b == T::string_t)) {
      if ((a != T::string_t && a != T::null_t) || (b != T::string_t && b != T::null_t))
        return fail("cannot add " + article(a) + " and " + article(b), n.pos);
      n.type = T::string_t;
      return true;
    }
    for (T t : {a, b}) {
      if (!is_numeric(t) && t != T::null_t)
        return fail("'" + op + "' needs numbers, not " + article(t), n.pos);
    }
    if (n.op == op_kind::div) n.type = T::decimal_t;
    else if (a == T::null_t && b == T::null_t) n.type = T::null_t;
    else if (a == T::decimal_t || b == T::decimal_t) n.type = T::decimal_t;
    else n.type = T::long_t;
    return true;
  }

  // Argument i must be one of `allowed` (null always passes).
  bool want(const ast_node& n, size_t i, std::initializer_list<T> allowed, const char* what) {
    const T t = n.args[i]->type;
    if (t == T::null_t) return true;
    for (T a : allowed) {
      if (a == t) return true;
    }
    return fail("'" + lower(n.name) + "' needs " + what + ", not " + article(t), n.args[i]->pos);
  }

  bool call(ast_node& n) {
    const function_info* f = find_function(lower(n.name));
    if (!f) return fail("unknown function '" + n.name + "'", n.pos);
    n.function = int(f->id);
    const int count = int(n.args.size());
    if (count < f->min_args || count > f->max_args) {
      std::string takes = std::to_string(f->min_args);
      if (f->max_args != f->min_args) takes += " or " + std::to_string(f->max_args);
      return fail("'" + std::string(f->name) + "' takes " + takes +
                      (f->max_args == 1 ? " argument" : " arguments") + ", not " +
                      std::to_string(count),
                  n.pos);
    }
    const auto numbers = {T::long_t, T::decimal_t};
    const auto text = {T::string_t};
    const auto dates = {T::date_t};
    switch (f->id) {
      case fn_id::getrow:
        n.type = T::long_t;
        return true;
      case fn_id::int_:
        n.type = T::long_t;
        return want(n, 0, numbers, "a number");
      case fn_id::abs:
        n.type = n.args[0]->type;
        return want(n, 0, numbers, "a number");
      case fn_id::len:
        n.type = T::long_t;
        return want(n, 0, text, "a string");
      case fn_id::trim:
      case fn_id::upper:
      case fn_id::lower:
        n.type = T::string_t;
        return want(n, 0, text, "a string");
      case fn_id::isnull:
        n.type = T::bool_t;
        return true;
      case fn_id::if_: {
        if (!condition(n.args[0]->type))
          return fail("'if' needs a condition, not " + article(n.args[0]->type), n.args[0]->pos);
        const T a = n.args[1]->type;
        const T b = n.args[2]->type;
        if (a == b || b == T::null_t) n.type = a;
        else if (a == T::null_t) n.type = b;
        else if (is_numeric(a) && is_numeric(b)) n.type = T::decimal_t;
        else return fail("'if' gives " + article(a) + " or " + article(b), n.args[2]->pos);
        return true;
      }
      case fn_id::today:
        n.type = T::date_t;
        return true;
      case fn_id::date:
        n.type = T::date_t;
        return want(n, 0, {T::string_t, T::date_t}, "a string or a date");
      case fn_id::string:
        n.type = T::string_t;
        if (count == 2) {
          return want(n, 0, {T::long_t, T::decimal_t, T::string_t}, "a number or a string") &&
                 want(n, 1, text, "a mask string");
        }
        return true;
      case fn_id::daysafter:
      case fn_id::years_after:
        n.type = T::long_t;
        return want(n, 0, dates, "dates") && want(n, 1, dates, "dates");
      case fn_id::year:
      case fn_id::month:
      case fn_id::day:
        n.type = T::long_t;
        return want(n, 0, dates, "a date");
    }
    return fail("unknown function '" + n.name + "'", n.pos);
  }

  const expr_schema& schema_;
  std::string& error_;
};

}  // namespace

bool type_check(ast_node& root, const expr_schema& schema, std::string& error) {
  return checker(schema, error).check(root);
}
