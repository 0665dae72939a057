#include <algorithm>
#include <cctype>
#include <charconv>
#include <fstream>

#include "framework/runtime/runtime.h"

namespace {

std::string trimmed(std::string_view s) {
  const auto first = s.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos) return {};
  const auto last = s.find_last_not_of(" \t\r\n");
  return std::string(s.substr(first, last - first + 1));
}

bool same_name(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
           return std::tolower(x) == std::tolower(y);
         });
}

// A whole number with an optional sign, nothing else.
std::optional<int64_t> whole_number(std::string_view text) {
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  int64_t v = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
  if (ec != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
  return v;
}

}  // namespace

int64_t profileint(const std::string& path, const std::string& section, const std::string& key,
                   int64_t default_value) {
  std::string native = path;
  std::replace(native.begin(), native.end(), '\\', '/');
  std::ifstream in(native, std::ios::binary);
  if (!in) return default_value;

  bool in_section = false;
  std::string line;
  bool first_line = true;
  while (std::getline(in, line)) {
    if (first_line && line.rfind("\xEF\xBB\xBF", 0) == 0) line.erase(0, 3);
    first_line = false;
    const std::string t = trimmed(line);
    if (t.empty() || t.front() == ';' || t.front() == '#') continue;
    if (t.front() == '[') {
      const auto close = t.find(']');
      in_section = close != std::string::npos && same_name(trimmed(t.substr(1, close - 1)), section);
      continue;
    }
    if (!in_section) continue;
    const auto eq = t.find('=');
    if (eq == std::string::npos || !same_name(trimmed(t.substr(0, eq)), key)) continue;
    return whole_number(trimmed(t.substr(eq + 1))).value_or(default_value);
  }
  return default_value;
}
