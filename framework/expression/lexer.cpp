#include "framework/expression/lexer.h"

namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }
bool is_ident_start(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}
bool is_ident_char(char c) { return is_ident_start(c) || is_digit(c); }

std::string at(const std::string& what, size_t index) {
  return what + " at " + std::to_string(index + 1);
}

// Reads a quoted string starting at s[i] (the quote); i ends after the closing quote.
bool read_string(std::string_view s, size_t& i, std::string& out, std::string& error) {
  const size_t start = i;
  const char quote = s[i++];
  while (i < s.size()) {
    const char c = s[i];
    if (c == quote) {
      ++i;
      return true;
    }
    if (c == '\\' && i + 1 < s.size()) {
      const char e = s[i + 1];
      switch (e) {
        case '"': case '\'': case '\\': out += e; break;
        case 'n': out += '\n'; break;
        case 't': out += '\t'; break;
        default: out += '\\'; out += e; break;  // unknown escapes stand for themselves
      }
      i += 2;
      continue;
    }
    out += c;
    ++i;
  }
  error = at("unterminated string", start);
  return false;
}

}  // namespace

bool tokenize(std::string_view s, std::vector<token>& out, std::string& error) {
  out.clear();
  size_t i = 0;
  while (true) {
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t' || s[i] == '\r' || s[i] == '\n')) ++i;
    token t;
    t.pos = int(i + 1);
    if (i >= s.size()) {
      out.push_back(std::move(t));
      return true;
    }
    const char c = s[i];
    if (is_digit(c) || (c == '.' && i + 1 < s.size() && is_digit(s[i + 1]))) {
      const size_t b = i;
      while (i < s.size() && is_digit(s[i])) ++i;
      if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && is_digit(s[i])) ++i;
      }
      if (i < s.size() && (is_ident_char(s[i]) || s[i] == '.')) {
        error = at("malformed number", b);
        return false;
      }
      t.kind = token_kind::number;
      t.text.assign(s.substr(b, i - b));
    } else if (c == '"' || c == '\'') {
      t.kind = token_kind::text;
      if (!read_string(s, i, t.text, error)) return false;
    } else if (is_ident_start(c)) {
      const size_t b = i;
      while (i < s.size() && is_ident_char(s[i])) ++i;
      t.kind = token_kind::ident;
      t.text.assign(s.substr(b, i - b));
    } else if (c == '(') {
      t.kind = token_kind::lparen;
      ++i;
    } else if (c == ')') {
      t.kind = token_kind::rparen;
      ++i;
    } else if (c == ',') {
      t.kind = token_kind::comma;
      ++i;
    } else {
      static constexpr std::string_view two[] = {"<>", "!=", "<=", ">="};
      t.kind = token_kind::op;
      for (std::string_view op : two) {
        if (s.substr(i, 2) == op) t.text = op;
      }
      if (t.text.empty()) {
        if (std::string_view("+-*/=<>").find(c) == std::string_view::npos) {
          const unsigned char u = static_cast<unsigned char>(c);
          error = u >= 0x20 && u < 0x7f ? at(std::string("unexpected character '") + c + "'", i)
                                        : at("unexpected character", i);
          return false;
        }
        t.text = std::string(1, c);
      }
      i += t.text.size();
    }
    out.push_back(std::move(t));
  }
}
