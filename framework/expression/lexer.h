#pragma once
// Splits expression text into tokens; strings come out decoded.

#include <string>
#include <string_view>
#include <vector>

enum class token_kind { end, number, text, ident, lparen, rparen, comma, op };

struct token {
  token_kind kind = token_kind::end;
  std::string text;  // number as written, decoded string, identifier, or operator
  int pos = 1;       // 1-based position of the token's first character
};

// False with error set (message with position) on an unterminated string or a stray character.
bool tokenize(std::string_view source, std::vector<token>& out, std::string& error);
