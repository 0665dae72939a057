#pragma once
// A relay between the code under test and the test PostgreSQL server that breaks the connection
// around a COMMIT, as a network or a server can: before COMMIT reaches the server, after the
// server has answered but before the answer arrives, or on the client's side only (the server's
// side stays open, as when a cable is pulled, until the relay is destroyed). While it refuses,
// new connections are closed at once, as by a server that cannot be reached.

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class pg_cut_proxy {
 public:
  enum class cut { none, before_commit, after_answer, client_side_only };

  // Relays to the server of url (postgresql://user@127.0.0.1:PORT/...) from a free local port.
  explicit pg_cut_proxy(const std::string& url);
  ~pg_cut_proxy();
  pg_cut_proxy(const pg_cut_proxy&) = delete;
  pg_cut_proxy& operator=(const pg_cut_proxy&) = delete;

  const std::string& url() const { return url_; }  // url, through the relay
  void cut_at_next_commit(cut how) { pending_ = how; }
  bool has_cut() const { return pending_ == cut::none; }
  void refuse_connections(bool refuse) { refuse_ = refuse; }
  // Run by the relay when the server has answered a COMMIT cut after_answer, before the client's
  // side is closed (a server restart there makes the answer one that server can no longer give).
  std::function<void()> on_answer_held;

 private:
  void accept_loop();
  void relay(int client);

  std::string url_;
  int server_port_ = 0, listener_ = -1;
  std::atomic<cut> pending_{cut::none};
  std::atomic<bool> stop_{false}, refuse_{false};
  std::mutex mutex_;
  std::vector<std::thread> relays_;
  std::vector<int> held_;  // server sides left open by a client-side cut
  std::thread acceptor_;
};
