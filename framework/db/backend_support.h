#pragma once
// Helpers the two database backends share: what kind of statement a text is, numbers read from
// a database's text (which may use an exponent).

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "framework/value/value.h"

enum class statement_kind {
  read,          // SELECT, VALUES, WITH ... SELECT, EXPLAIN, PRAGMA, SHOW
  insert,        // INSERT, REPLACE
  update_delete, // UPDATE, DELETE (touching no row is "not found")
  other_write,   // DDL and anything else that changes the database
  control        // BEGIN, COMMIT, ROLLBACK, SAVEPOINT, SET, VACUUM, ANALYZE: never wrapped
};
statement_kind classify_statement(std::string_view sql);
inline bool is_write(statement_kind k) {
  return k == statement_kind::insert || k == statement_kind::update_delete ||
         k == statement_kind::other_write;
}

// Length of the quoted literal, quoted identifier or comment starting at sql[i]; 0 when none
// starts there.
size_t skip_quoted(std::string_view sql, size_t i);

struct rewritten_sql;
// Why the statement's host variables cannot be bound as given, or "" when they can: a placeholder
// without a value, or a text that would not arrive whole (a NUL byte, where a C string ends, or
// bytes that are not UTF-8). Such a text is refused, never cut or changed on the way.
std::string unbindable(const rewritten_sql& rw, std::span<const value> params);

// A number as a database writes it: "155.50", "-3", "1.5e-05". Rounded to scale when scale >= 0;
// nullopt when not a number or too large for a decimal at that scale.
std::optional<decimal> parse_number_text(std::string_view text, int scale);
// A whole number within the 64-bit range as a database writes it ("150", "150.00", "1.5e2");
// nullopt for any other text ("150.7", "abc", "1e300").
std::optional<int64_t> parse_whole_number(std::string_view text);
