// Statement classification, number parsing and URL display shared by the backends.
#include "backend_support.h"
#include "connection.h"

#include <cctype>
#include <charconv>

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
  const size_t e = text.find_first_of("eE");
  if (e == std::string_view::npos) return decimal::parse(text, scale);
  std::string_view exp_text = text.substr(e + 1);
  if (!exp_text.empty() && exp_text.front() == '+') exp_text.remove_prefix(1);
  int exp = 0;
  const char* exp_end = exp_text.data() + exp_text.size();
  auto [stop, ec] = std::from_chars(exp_text.data(), exp_end, exp);
  // Beyond 400 either way lies no double, and a number far past what a decimal holds.
  if (exp_text.empty() || ec != std::errc() || stop != exp_end || exp > 400 || exp < -400)
    return std::nullopt;
  // The digits written out with the point moved: decimal::parse refuses what is too long and
  // rounds what is too fine, as for any other text.
  std::string_view mantissa = text.substr(0, e);
  std::string sign;
  if (!mantissa.empty() && (mantissa.front() == '-' || mantissa.front() == '+')) {
    sign = mantissa.front();
    mantissa.remove_prefix(1);
  }
  std::string plain(mantissa);
  size_t point = plain.find('.');
  if (point == std::string::npos)
    point = plain.size();
  else
    plain.erase(point, 1);
  if (plain.find_first_of("0123456789") == std::string::npos) return std::nullopt;  // "e5", ".e5"
  const long at = long(point) + exp;
  if (at <= 0)
    plain.insert(0, "0." + std::string(size_t(-at), '0'));
  else if (size_t(at) >= plain.size())
    plain.append(size_t(at) - plain.size(), '0');
  else
    plain.insert(size_t(at), 1, '.');
  return decimal::parse(sign + plain, scale);
}

std::optional<int64_t> parse_whole_number(std::string_view text) {
  int64_t v = 0;
  auto [stop, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
  if (ec == std::errc() && stop == text.data() + text.size()) return v;
  std::optional<decimal> d = parse_number_text(text, -1);
  return d ? d->exact_long() : std::nullopt;
}
