#include "support/pg_cut_proxy.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cctype>
#include <cstring>
#include <stdexcept>

namespace {

// Every socket here is closed on exec: a server restarted from the relay must not inherit one and
// keep the client's side of a cut connection open.
int connect_local(int port) {
  int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(uint16_t(port));
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
    close(fd);
    return -1;
  }
  return fd;
}

bool send_all(int fd, const char* p, ssize_t n) {
  while (n > 0) {
    ssize_t w = send(fd, p, size_t(n), MSG_NOSIGNAL);
    if (w <= 0) return false;
    p += w;
    n -= w;
  }
  return true;
}

}  // namespace

pg_cut_proxy::pg_cut_proxy(const std::string& url) {
  const std::string host = "127.0.0.1:";
  size_t at = url.find(host);
  if (at == std::string::npos) throw std::runtime_error("pg_cut_proxy: no 127.0.0.1:PORT in " + url);
  size_t digits = at + host.size(), end = digits;
  while (end < url.size() && std::isdigit(static_cast<unsigned char>(url[end]))) ++end;
  server_port_ = std::stoi(url.substr(digits, end - digits));

  listener_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof a;
  if (bind(listener_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || listen(listener_, 8) != 0 ||
      getsockname(listener_, reinterpret_cast<sockaddr*>(&a), &len) != 0)
    throw std::runtime_error("pg_cut_proxy: cannot listen");
  // Plain text, so that the relay can see the COMMIT go by.
  std::string rest = url.substr(end);
  rest += rest.find('?') == std::string::npos ? "?" : "&";
  url_ = url.substr(0, digits) + std::to_string(ntohs(a.sin_port)) + rest +
         "sslmode=disable&gssencmode=disable";
  acceptor_ = std::thread([this] { accept_loop(); });
}

pg_cut_proxy::~pg_cut_proxy() {
  stop_ = true;
  acceptor_.join();
  for (std::thread& t : relays_) t.join();
  for (int fd : held_) close(fd);
  close(listener_);
}

void pg_cut_proxy::accept_loop() {
  while (!stop_) {
    pollfd p{listener_, POLLIN, 0};
    if (poll(&p, 1, 50) <= 0) continue;
    int client = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    if (client < 0) continue;
    if (refuse_) {
      close(client);
      continue;
    }
    std::lock_guard lock(mutex_);
    relays_.emplace_back([this, client] { relay(client); });
  }
}

void pg_cut_proxy::relay(int client) {
  int server = connect_local(server_port_);
  bool answer_due = false;  // COMMIT passed: the server's next bytes are its answer
  char buf[65536];
  while (server >= 0 && !stop_) {
    pollfd p[2] = {{client, POLLIN, 0}, {server, POLLIN, 0}};
    if (poll(p, 2, 50) <= 0) continue;
    if (p[0].revents) {
      ssize_t n = recv(client, buf, sizeof buf, 0);
      if (n <= 0) break;
      const cut how = pending_;
      if (how != cut::none && std::string_view(buf, size_t(n)).find("COMMIT") != std::string_view::npos) {
        if (how == cut::after_answer) {
          answer_due = true;
        } else {
          pending_ = cut::none;
          if (how == cut::client_side_only) {
            std::lock_guard lock(mutex_);
            held_.push_back(server);
            server = -1;
          }
          break;
        }
      }
      if (!send_all(server, buf, n)) break;
    }
    if (p[1].revents) {
      ssize_t n = recv(server, buf, sizeof buf, 0);
      if (n <= 0) break;
      if (answer_due) {
        if (on_answer_held) on_answer_held();
        pending_ = cut::none;
        break;
      }
      if (!send_all(client, buf, n)) break;
    }
  }
  if (server >= 0) close(server);
  close(client);
}
