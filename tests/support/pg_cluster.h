#pragma once
// Throwaway PostgreSQL clusters for the tests that need a server of their own (TLS, a standby
// that takes over): made with initdb or pg_basebackup in a temporary directory, run as the
// postgres user when the tests run as root (as scripts/with-postgres.sh does), stopped and
// removed at the end. Ports come from MEMBER_PG_SPARE_PORTS (set by scripts/with-postgres.sh).

#include <string>
#include <vector>

// The spare ports; empty when MEMBER_PG_SPARE_PORTS is unset.
std::vector<int> spare_pg_ports();

class pg_cluster {
 public:
  pg_cluster() = default;
  pg_cluster(const pg_cluster&) = delete;
  pg_cluster& operator=(const pg_cluster&) = delete;
  ~pg_cluster();  // stops the server (immediately) and removes the directory

  // A new cluster (trust for local and 127.0.0.1, replication allowed). False with reason.
  bool init(std::string& reason);
  // A streaming standby of primary (pg_basebackup -R); primary must be running.
  bool init_standby(const pg_cluster& primary, std::string& reason);
  // Starts on port; extra are further server options ("-c ssl=on ..."). Waits until it answers.
  bool start(int port, const std::string& extra, std::string& reason);
  bool stop(const char* mode, std::string& reason);  // "fast", "immediate"
  bool promote(std::string& reason);                 // a standby becomes a primary

  // Writes a file below the cluster's directory, owned by the server's user; its path.
  std::string write_file(const std::string& name, const std::string& text, unsigned mode = 0600);
  // Runs a shell command in the cluster's directory as the server's user. False with its output.
  bool run(const std::string& command, std::string& reason) const;

  // Runs one SQL command through psql as the administrator (no quotes "'" in it).
  bool psql(const std::string& sql, std::string& reason) const;

  const std::string& dir() const { return dir_; }
  std::string data_dir() const { return dir_ + "/data"; }
  int port() const { return port_; }
  // The administrator's URL over the cluster's socket.
  std::string admin_url(const std::string& dbname = "postgres") const;

 private:
  bool make_dir(std::string& reason);
  std::string dir_;
  int port_ = 0;
  bool running_ = false;
};
