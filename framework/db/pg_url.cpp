#include "framework/db/pg_url.h"

#include <libpq-fe.h>

#include <arpa/inet.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::string env(const char* name) {
  const char* v = std::getenv(name);
  return v ? v : "";
}

std::vector<std::string> split_commas(const std::string& list) {
  std::vector<std::string> out;
  size_t start = 0;
  for (size_t comma; (comma = list.find(',', start)) != std::string::npos; start = comma + 1)
    out.push_back(list.substr(start, comma - start));
  out.push_back(list.substr(start));
  return out;
}

// A host entry that stays on this machine: a Unix socket (empty: the default socket) or the
// loopback interface by name or address.
bool stays_local(const std::string& host) {
  if (host.empty() || host.front() == '/' || host.front() == '@' || host == "localhost") return true;
  in_addr v4{};
  if (inet_pton(AF_INET, host.c_str(), &v4) == 1) return (ntohl(v4.s_addr) >> 24) == 127;
  in6_addr v6{};
  return inet_pton(AF_INET6, host.c_str(), &v6) == 1 && IN6_IS_ADDR_LOOPBACK(&v6);
}

}  // namespace

std::string pg_default_sslmode(const std::string& url) {
  char* error = nullptr;
  PQconninfoOption* options = PQconninfoParse(url.c_str(), &error);
  PQfreemem(error);
  if (!options) return "";
  std::string host, hostaddr;
  bool named = !env("PGSSLMODE").empty() || !env("PGREQUIRESSL").empty() || !env("PGSERVICE").empty();
  for (PQconninfoOption* o = options; o->keyword; ++o) {
    if (!o->val) continue;
    const std::string key = o->keyword;
    if (key == "sslmode" || key == "requiressl" || key == "service") named = true;
    if (key == "host") host = o->val;
    if (key == "hostaddr") hostaddr = o->val;
  }
  PQconninfoFree(options);
  if (named) return "";
  if (host.empty()) host = env("PGHOST");
  if (hostaddr.empty()) hostaddr = env("PGHOSTADDR");
  // A name goes to the certificate check even where hostaddr says where to connect, so both
  // must stay on this machine.
  const std::vector<std::string> hosts = split_commas(host), addrs = split_commas(hostaddr);
  for (size_t i = 0; i < std::max(hosts.size(), addrs.size()); ++i) {
    const std::string h = i < hosts.size() ? hosts[i] : "";
    const std::string a = i < addrs.size() ? addrs[i] : "";
    if (!stays_local(h) || !stays_local(a)) return "verify-full";
  }
  return "";
}

bool names_a_password(std::string_view key) {
  std::string plain;
  for (size_t i = 0; i < key.size(); ++i) {
    char c = key[i];
    if (c == '%' && i + 2 < key.size() && std::isxdigit(static_cast<unsigned char>(key[i + 1])) &&
        std::isxdigit(static_cast<unsigned char>(key[i + 2]))) {
      c = char(std::stoi(std::string(key.substr(i + 1, 2)), nullptr, 16));
      i += 2;
    }
    if (c == ' ' || c == '\t') continue;
    plain += char(std::tolower(static_cast<unsigned char>(c)));
  }
  return plain == "password" || plain == "sslpassword";
}
