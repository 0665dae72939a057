// Statement classification, number parsing and URL display shared by the backends.
#include "backend_support.h"
#include "connection.h"

#include <cctype>
#include <cstdlib>

namespace {

bool ident_char(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

// Skips blanks, comments and opening parentheses; answers the next word in upper case.
std::string next_word(std::string_view sql, size_t& i) {
  for (;;) {
    while (i < sql.size() && (std::isspace(static_cast<unsigned char>(sql[i])) || sql[i] == '('))
      ++i;
    if (i + 1 < sql.size() && ((sql[i] == '-' && sql[i + 1] == '-') || (sql[i] == '/' && sql[i + 1] == '*'))) {
      i += skip_quoted(sql, i);
      continue;
    }
    break;
  }
  std::string w;
  while (i < sql.size() && ident_char(sql[i]))
    w += char(std::toupper(static_cast<unsigned char>(sql[i++])));
  return w;
}

statement_kind kind_of_word(const std::string& w) {
  if (w == "SELECT" || w == "VALUES" || w == "EXPLAIN" || w == "PRAGMA" || w == "SHOW" ||
      w == "TABLE")
    return statement_kind::read;
  if (w == "INSERT" || w == "REPLACE") return statement_kind::insert;
  if (w == "UPDATE" || w == "DELETE") return statement_kind::update_delete;
  if (w == "BEGIN" || w == "COMMIT" || w == "ROLLBACK" || w == "END" || w == "SAVEPOINT" ||
      w == "RELEASE" || w == "START" || w == "SET" || w == "RESET" || w == "VACUUM" ||
      w == "ANALYZE" || w == "CHECKPOINT")
    return statement_kind::control;
  return statement_kind::other_write;
}

}  // namespace

size_t skip_quoted(std::string_view sql, size_t i) {
  if (i >= sql.size()) return 0;
  char c = sql[i];
  if (c == '\'' || c == '"') {
    size_t j = i + 1;
    while (j < sql.size()) {
      if (sql[j] == c) {
        if (j + 1 < sql.size() && sql[j + 1] == c) {  // doubled quote inside
          j += 2;
          continue;
        }
        return j + 1 - i;
      }
      ++j;
    }
    return sql.size() - i;  // unterminated: the rest
  }
  if (c == '-' && i + 1 < sql.size() && sql[i + 1] == '-') {
    size_t j = sql.find('\n', i);
    return (j == std::string_view::npos ? sql.size() : j) - i;
  }
  if (c == '/' && i + 1 < sql.size() && sql[i + 1] == '*') {
    size_t j = sql.find("*/", i + 2);
    return (j == std::string_view::npos ? sql.size() : j + 2) - i;
  }
  return 0;
}

statement_kind classify_statement(std::string_view sql) {
  size_t i = 0;
  std::string w = next_word(sql, i);
  if (w != "WITH") return kind_of_word(w);
  // WITH: the statement is the first SELECT / INSERT / UPDATE / DELETE outside parentheses.
  int depth = 0;
  while (i < sql.size()) {
    char c = sql[i];
    if (size_t n = skip_quoted(sql, i)) {
      i += n;
    } else if (c == '(') {
      ++depth, ++i;
    } else if (c == ')') {
      --depth, ++i;
    } else if (ident_char(c)) {
      std::string word;
      while (i < sql.size() && ident_char(sql[i]))
        word += char(std::toupper(static_cast<unsigned char>(sql[i++])));
      if (depth == 0 && (word == "SELECT" || word == "VALUES" || word == "INSERT" ||
                         word == "UPDATE" || word == "DELETE"))
        return kind_of_word(word);
    } else {
      ++i;
    }
  }
  return statement_kind::read;
}

std::string unbindable(const rewritten_sql& rw, std::span<const value> params) {
  for (const sql_placeholder& ph : rw.placeholders) {
    const std::string& name = rw.names[size_t(ph.name)];
    if (size_t(ph.name) >= params.size()) return "no value given for host variable :" + name;
    const value& v = params[size_t(ph.name)];
    if (!v.is_string()) continue;
    switch (text_fault_of(v.as_string())) {
      case text_fault::nul:
        return "宿主变量 :" + name + " 的文字含有空字符（NUL），不能完整保存，未写入";
      case text_fault::not_utf8:
        return "宿主变量 :" + name + " 的文字含有不是 UTF-8 的字节，未写入";
      case text_fault::none: break;
    }
  }
  return {};
}

std::optional<decimal> parse_number_text(std::string_view text, int scale) {
  size_t e = text.find_first_of("eE");
  if (e == std::string_view::npos) return decimal::parse(text, scale);
  std::optional<decimal> m = decimal::parse(text.substr(0, e), -1);
  if (!m) return std::nullopt;
  std::string exp_text(text.substr(e + 1));
  char* end = nullptr;
  long exp = std::strtol(exp_text.c_str(), &end, 10);
  if (exp_text.empty() || *end != '\0' || exp > 30 || exp < -40) return std::nullopt;
  decimal d = *m;
  if (exp > 0) {
    int lower = int(exp) < d.scale ? int(exp) : d.scale;  // first use up the fraction digits
    d.scale -= lower;
    for (long k = lower; k < exp; ++k) d.mantissa *= 10;
  } else if (exp < 0) {
    int want = d.scale - int(exp);
    if (want > 18 + 38) {
      decimal zero;
      return scale >= 0 ? zero.rescale(scale) : zero;
    }
    d.scale = want;
    if (want > 18) d = d.rescale(18);  // rounds away the digits below 10^-18
  }
  return scale >= 0 ? d.rescale(scale) : d;
}
