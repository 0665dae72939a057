#include "framework/expression/parser.h"

#include <algorithm>
#include <charconv>
#include <vector>

#include "framework/expression/lexer.h"

namespace {

std::string lower(std::string_view s) {
  std::string r(s);
  for (char& c : r) {
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  }
  return r;
}

std::string describe(const token& t) {
  switch (t.kind) {
    case token_kind::end: return "end of expression";
    case token_kind::number: return "'" + t.text + "'";
    case token_kind::text: return "string";
    case token_kind::ident: return "'" + t.text + "'";
    case token_kind::lparen: return "'('";
    case token_kind::rparen: return "')'";
    case token_kind::comma: return "','";
    case token_kind::op: return "'" + t.text + "'";
  }
  return "token";
}

class parser {
 public:
  parser(std::vector<token> tokens, std::string& error) : t_(std::move(tokens)), error_(error) {}

  std::unique_ptr<ast_node> run() {
    if (t_.front().kind == token_kind::end) return fail("empty expression", t_.front().pos);
    auto e = parse_or();
    if (!e) return nullptr;
    if (peek().kind != token_kind::end) {
      if (peek().kind == token_kind::rparen) return fail("unbalanced ')'", peek().pos);
      return fail("unexpected " + describe(peek()), peek().pos);
    }
    return e;
  }

 private:
  const token& peek() const { return t_[i_]; }
  const token& next() { return t_[i_ < t_.size() - 1 ? i_++ : i_]; }
  bool is_word(const char* w) const {
    return peek().kind == token_kind::ident && lower(peek().text) == w;
  }
  bool is_op(const char* o) const { return peek().kind == token_kind::op && peek().text == o; }

  std::nullptr_t fail(const std::string& what, int pos) {
    if (error_.empty()) error_ = what + " at " + std::to_string(pos);
    return nullptr;
  }

  // Guards recursion: every nested level of parsing passes through here.
  struct depth_guard {
    parser& p;
    explicit depth_guard(parser& owner) : p(owner) { ++p.depth_; }
    ~depth_guard() { --p.depth_; }
    bool too_deep() const { return p.depth_ > max_expr_depth; }
  };

  std::unique_ptr<ast_node> make(ast_kind kind, op_kind op, int pos,
                                 std::unique_ptr<ast_node> a, std::unique_ptr<ast_node> b = {}) {
    auto n = std::make_unique<ast_node>();
    n->kind = kind;
    n->op = op;
    n->pos = pos;
    n->depth = 1 + std::max(a->depth, b ? b->depth : 0);
    n->args.push_back(std::move(a));
    if (b) n->args.push_back(std::move(b));
    if (n->depth > max_expr_depth) return fail("expression nested too deeply", pos);
    return n;
  }

  std::unique_ptr<ast_node> parse_or() {
    auto l = parse_and();
    while (l && is_word("or")) {
      const int pos = next().pos;
      auto r = parse_and();
      if (!r) return nullptr;
      l = make(ast_kind::binary, op_kind::or_, pos, std::move(l), std::move(r));
    }
    return l;
  }

  std::unique_ptr<ast_node> parse_and() {
    auto l = parse_not();
    while (l && is_word("and")) {
      const int pos = next().pos;
      auto r = parse_not();
      if (!r) return nullptr;
      l = make(ast_kind::binary, op_kind::and_, pos, std::move(l), std::move(r));
    }
    return l;
  }

  std::unique_ptr<ast_node> parse_not() {
    depth_guard g(*this);
    if (g.too_deep()) return fail("expression nested too deeply", peek().pos);
    if (is_word("not")) {
      const int pos = next().pos;
      auto a = parse_not();
      if (!a) return nullptr;
      return make(ast_kind::unary, op_kind::not_, pos, std::move(a));
    }
    return parse_comparison();
  }

  bool comparison_op(op_kind& op) const {
    if (peek().kind != token_kind::op) return false;
    const std::string& s = peek().text;
    if (s == "=") op = op_kind::eq;
    else if (s == "<>" || s == "!=") op = op_kind::ne;
    else if (s == "<") op = op_kind::lt;
    else if (s == "<=") op = op_kind::le;
    else if (s == ">") op = op_kind::gt;
    else if (s == ">=") op = op_kind::ge;
    else return false;
    return true;
  }

  std::unique_ptr<ast_node> parse_comparison() {
    auto l = parse_additive();
    op_kind op;
    while (l && comparison_op(op)) {
      const int pos = next().pos;
      auto r = parse_additive();
      if (!r) return nullptr;
      l = make(ast_kind::binary, op, pos, std::move(l), std::move(r));
    }
    return l;
  }

  std::unique_ptr<ast_node> parse_additive() {
    auto l = parse_multiplicative();
    while (l && (is_op("+") || is_op("-"))) {
      const op_kind op = peek().text == "+" ? op_kind::add : op_kind::sub;
      const int pos = next().pos;
      auto r = parse_multiplicative();
      if (!r) return nullptr;
      l = make(ast_kind::binary, op, pos, std::move(l), std::move(r));
    }
    return l;
  }

  std::unique_ptr<ast_node> parse_multiplicative() {
    auto l = parse_unary();
    while (l && (is_op("*") || is_op("/"))) {
      const op_kind op = peek().text == "*" ? op_kind::mul : op_kind::div;
      const int pos = next().pos;
      auto r = parse_unary();
      if (!r) return nullptr;
      l = make(ast_kind::binary, op, pos, std::move(l), std::move(r));
    }
    return l;
  }

  std::unique_ptr<ast_node> parse_unary() {
    depth_guard g(*this);
    if (g.too_deep()) return fail("expression nested too deeply", peek().pos);
    if (is_op("+")) {
      next();
      return parse_unary();
    }
    if (is_op("-")) {
      const int pos = next().pos;
      if (peek().kind == token_kind::number) return number(next(), true, pos);
      auto a = parse_unary();
      if (!a) return nullptr;
      return make(ast_kind::unary, op_kind::neg, pos, std::move(a));
    }
    return parse_primary();
  }

  // Integer literals are longs when they fit, otherwise (and with a point) exact decimals.
  std::unique_ptr<ast_node> number(const token& t, bool negative, int pos) {
    auto n = std::make_unique<ast_node>();
    n->pos = pos;
    std::string digits = t.text;
    const size_t point = digits.find('.');
    if (point == std::string::npos) {
      int64_t v = 0;
      const std::string signed_digits = (negative ? "-" : "") + digits;
      auto [p, ec] = std::from_chars(signed_digits.data(),
                                     signed_digits.data() + signed_digits.size(), v);
      if (ec == std::errc() && p == signed_digits.data() + signed_digits.size()) {
        n->literal = value(v);
        n->type = expr_type::long_t;
        return n;
      }
    }
    const size_t places = point == std::string::npos ? 0 : digits.size() - point - 1;
    const size_t whole = point == std::string::npos ? digits.size() : point;
    if (places > 18) return fail("too many decimal places in " + t.text, t.pos);
    if (whole > 36) return fail("number too large: " + t.text, t.pos);
    if (point == 0) digits.insert(0, "0");
    if (!digits.empty() && digits.back() == '.') digits.pop_back();
    auto d = decimal::parse((negative ? "-" : "") + digits);
    if (!d) return fail("malformed number " + t.text, t.pos);
    n->literal = value(*d);
    n->type = expr_type::decimal_t;
    return n;
  }

  std::unique_ptr<ast_node> parse_primary() {
    const token& t = peek();
    switch (t.kind) {
      case token_kind::number:
        return number(next(), false, t.pos);
      case token_kind::text: {
        auto n = std::make_unique<ast_node>();
        n->pos = t.pos;
        n->literal = value(t.text);
        n->type = expr_type::string_t;
        next();
        return n;
      }
      case token_kind::lparen: {
        const int open = next().pos;
        auto e = parse_or();
        if (!e) return nullptr;
        if (peek().kind != token_kind::rparen) {
          if (peek().kind == token_kind::end) return fail("missing ')' for the '('", open);
          return fail("expected ')' but found " + describe(peek()), peek().pos);
        }
        next();
        return e;
      }
      case token_kind::ident:
        return identifier();
      default:
        if (t.kind == token_kind::end) return fail("unexpected end of expression", t.pos);
        return fail("unexpected " + describe(t), t.pos);
    }
  }

  std::unique_ptr<ast_node> identifier() {
    const token& t = next();
    auto n = std::make_unique<ast_node>();
    n->pos = t.pos;
    const std::string word = lower(t.text);
    if (peek().kind != token_kind::lparen) {
      if (word == "true" || word == "false") {
        n->literal = value(int64_t(word == "true"));
        n->type = expr_type::bool_t;
      } else if (word == "null") {
        n->type = expr_type::null_t;
      } else if (word == "and" || word == "or" || word == "not") {
        return fail("unexpected '" + t.text + "'", t.pos);
      } else {
        n->kind = ast_kind::column;
        n->name = t.text;
      }
      return n;
    }
    n->kind = ast_kind::call;
    n->name = t.text;
    next();  // (
    if (peek().kind != token_kind::rparen) {
      while (true) {
        auto a = parse_or();
        if (!a) return nullptr;
        n->depth = std::max(n->depth, a->depth + 1);
        n->args.push_back(std::move(a));
        if (peek().kind == token_kind::comma) {
          next();
          continue;
        }
        if (peek().kind == token_kind::rparen) break;
        if (peek().kind == token_kind::end)
          return fail("missing ')' after the arguments of '" + t.text + "'", peek().pos);
        return fail("expected ',' or ')' but found " + describe(peek()), peek().pos);
      }
    }
    next();  // )
    if (n->depth > max_expr_depth) return fail("expression nested too deeply", t.pos);
    return n;
  }

  std::vector<token> t_;
  size_t i_ = 0;
  int depth_ = 0;
  std::string& error_;
};

}  // namespace

std::unique_ptr<ast_node> parse_expression(std::string_view text, std::string& error) {
  error.clear();
  std::vector<token> tokens;
  if (!tokenize(text, tokens, error)) return nullptr;
  parser p(std::move(tokens), error);
  auto root = p.run();
  if (!root && error.empty()) error = "malformed expression at 1";
  return root;
}
