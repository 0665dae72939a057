// Opening a connection by URL, and the rewriting of ":name" host variables into placeholders.
#include "connection.h"

#include <cctype>
#include <unordered_map>

#include "backend_support.h"
#include "pg_connection.h"
#include "sqlite_connection.h"

std::unique_ptr<db_connection> db_connection::open(const std::string& url, std::string& error) {
  error.clear();
  if (url.rfind("sqlite:", 0) == 0) return sqlite_connection::open(url, error);
  if (url.rfind("postgresql://", 0) == 0 || url.rfind("postgres://", 0) == 0)
    return pg_connection::open(url, error);
  error = "cannot open database '" + display_url(url) +
          "': unknown kind of URL (use sqlite:PATH or postgresql://...)";
  return nullptr;
}

namespace {

bool ident_start(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
bool ident_char(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

std::string lower(std::string_view s) {
  std::string r(s);
  for (char& c : r) c = char(std::tolower(static_cast<unsigned char>(c)));
  return r;
}

size_t skip_blanks(std::string_view sql, size_t i) {
  while (i < sql.size() && std::isspace(static_cast<unsigned char>(sql[i]))) ++i;
  return i;
}

// An arithmetic operator binds differently from || in the two dialects: next to one, the
// concatenation is left as written.
bool arithmetic(char c) { return c == '+' || c == '-' || c == '*' || c == '/' || c == '%' || c == '^'; }

// The text of a '...' literal starting at sql[i] (doubled quotes undone); false when unterminated.
bool literal_text(std::string_view sql, size_t i, size_t& end, std::string& text) {
  size_t n = skip_quoted(sql, i);
  if (n < 2 || sql[i + n - 1] != '\'') return false;
  end = i + n;
  text.clear();
  for (size_t j = i + 1; j + 1 < end; ++j) {
    text += sql[j];
    if (sql[j] == '\'') ++j;  // '' stands for one quote
  }
  return true;
}

}  // namespace

std::string quote_identifier(std::string_view name, backend kind) {
  std::string q = "\"";
  for (char ch : name) {
    if (ch == '.') {
      q += "\".\"";
    } else {
      if (ch == '"') q += '"';
      q += kind == backend::postgres ? char(std::tolower(static_cast<unsigned char>(ch))) : ch;
    }
  }
  return q + '"';
}

rewritten_sql rewrite_sql(std::string_view sql, backend kind) {
  rewritten_sql out;
  out.text.reserve(sql.size() + 16);
  std::unordered_map<std::string, int> name_index;         // lower-case name -> names index
  std::unordered_map<std::string, size_t> placeholder_index;  // name, fold and suffix -> number
  char last_significant = 0;         // last non-blank character copied
  size_t i = 0;
  while (i < sql.size()) {
    char c = sql[i];
    if (size_t n = skip_quoted(sql, i)) {
      out.text.append(sql.substr(i, n));
      last_significant = sql[i + n - 1];
      i += n;
      continue;
    }
    if (c == ':' && i + 1 < sql.size() && sql[i + 1] == ':') {  // a cast, not a host variable
      out.text += "::";
      last_significant = ':';
      i += 2;
      continue;
    }
    if (c != ':' || i + 1 >= sql.size() || !ident_start(sql[i + 1]) ||
        (i > 0 && ident_char(sql[i - 1]))) {
      out.text += c;
      if (!std::isspace(static_cast<unsigned char>(c))) last_significant = c;
      ++i;
      continue;
    }
    size_t start = i + 1, end = start;
    while (end < sql.size() && ident_char(sql[end])) ++end;
    std::string_view name = sql.substr(start, end - start);

    // ":name || 'literal'" becomes one placeholder bound to the concatenation.
    sql_placeholder ph;
    size_t after = end;
    size_t j = skip_blanks(sql, end);
    if (!arithmetic(last_significant) && j + 1 < sql.size() && sql[j] == '|' && sql[j + 1] == '|') {
      size_t k = skip_blanks(sql, j + 2);
      size_t lit_end;
      std::string text;
      if (k < sql.size() && sql[k] == '\'' && literal_text(sql, k, lit_end, text)) {
        size_t next = skip_blanks(sql, lit_end);
        if (next >= sql.size() || !arithmetic(sql[next]) || (sql[next] == '-' && next + 1 < sql.size() && sql[next + 1] == '-')) {
          ph.folded = true;
          ph.suffix = std::move(text);
          after = lit_end;
        }
      }
    }

    auto [n_it, new_name] = name_index.try_emplace(lower(name), int(out.names.size()));
    if (new_name) out.names.emplace_back(name);
    ph.name = n_it->second;

    std::string key = std::to_string(ph.name);
    if (ph.folded) key += "|" + ph.suffix;
    auto [p_it, new_placeholder] = placeholder_index.try_emplace(key, out.placeholders.size());
    if (new_placeholder) out.placeholders.push_back(ph);
    size_t number = p_it->second;
    out.text += kind == backend::postgres ? '$' : '?';
    out.text += std::to_string(number + 1);
    last_significant = '?';
    i = after;
  }
  return out;
}

std::string rewrite_placeholders(std::string_view sql, backend kind, std::vector<std::string>* names) {
  rewritten_sql r = rewrite_sql(sql, kind);
  if (names) *names = std::move(r.names);
  return std::move(r.text);
}

db_result db_connection::backup_to(const std::string& path) {
  db_result r;
  r.code = -1;
  r.error_text = "cannot copy " + display_url(url()) + " to " + path +
                 ": only an embedded database is copied by its terminal";
  return r;
}
