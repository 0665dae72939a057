#include "host/hide_passwords.h"

#include <cstring>
#include <string>

#include "framework/db/connection.h"

void hide_passwords_in_arguments(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const size_t length = std::strlen(argv[i]);
    const std::string masked = display_url(argv[i]);
    if (masked == argv[i]) continue;
    // The argument's bytes are all there is: the masked text, cut when a very short password
    // leaves it no room, and the rest cleared. The masked text holds no password, so cutting
    // it reveals nothing.
    const size_t keep = masked.size() < length ? masked.size() : length;
    std::memcpy(argv[i], masked.data(), keep);
    std::memset(argv[i] + keep, 0, length - keep);
  }
}
