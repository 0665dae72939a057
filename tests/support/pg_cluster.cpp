// Throwaway PostgreSQL clusters run through initdb, pg_basebackup and pg_ctl.
#include "support/pg_cluster.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

std::string bindir() {
  if (const char* b = std::getenv("MEMBER_PG_BINDIR"); b && *b) return b;
  std::string best;
  std::error_code ec;
  for (const auto& e : std::filesystem::directory_iterator("/usr/lib/postgresql", ec)) {
    std::string b = e.path().string() + "/bin";
    if (std::filesystem::exists(b + "/pg_ctl") && b > best) best = b;
  }
  return best;
}

// The server's user owns what the server reads; when we are not root we are that user.
void give_to_server(const std::string& path) {
  if (geteuid() != 0) return;
  if (const passwd* pw = getpwnam("postgres")) (void)!chown(path.c_str(), pw->pw_uid, pw->pw_gid);
}

std::string read_file(const std::string& path) {
  std::ifstream in(path);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

}  // namespace

std::vector<int> spare_pg_ports() {
  std::vector<int> ports;
  const char* s = std::getenv("MEMBER_PG_SPARE_PORTS");
  if (!s) return ports;
  std::istringstream in(s);
  for (int p; in >> p;) ports.push_back(p);
  return ports;
}

pg_cluster::~pg_cluster() {
  std::string ignored;
  if (running_) stop("immediate", ignored);
  if (!dir_.empty()) {
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }
}

bool pg_cluster::make_dir(std::string& reason) {
  char tmpl[] = "/tmp/member-pgtest.XXXXXX";
  if (!mkdtemp(tmpl)) {
    reason = "cannot make a temporary directory";
    return false;
  }
  dir_ = tmpl;
  give_to_server(dir_);
  return true;
}

bool pg_cluster::run(const std::string& command, std::string& reason) const {
  const std::string log = dir_ + "/command.log";
  std::string cmd = "cd '" + dir_ + "' && " + command;
  std::string shell = "sh -c \"" + cmd + "\"";
  std::string line = geteuid() == 0 ? "runuser -u postgres -- " + shell : shell;
  line += " >'" + log + "' 2>&1";
  if (std::system(line.c_str()) != 0) {
    reason = command + ":\n" + read_file(log);
    return false;
  }
  return true;
}

bool pg_cluster::init(std::string& reason) {
  if (!make_dir(reason)) return false;
  return run(bindir() + "/initdb -N -D data -U postgres -A trust -E UTF8 --locale=C.UTF-8", reason);
}

bool pg_cluster::init_standby(const pg_cluster& primary, std::string& reason) {
  if (!make_dir(reason)) return false;
  return run(bindir() + "/pg_basebackup -D data -R -X stream -c fast --no-sync -h 127.0.0.1 -p " +
                 std::to_string(primary.port()) + " -U postgres",
             reason);
}

bool pg_cluster::start(int port, const std::string& extra, std::string& reason) {
  port_ = port;
  const std::string options = "-p " + std::to_string(port) + " -k " + dir_ +
                              " -c listen_addresses=127.0.0.1 -c fsync=off " + extra;
  if (!run(bindir() + "/pg_ctl -D data -l server.log -w -t 30 -o '" + options + "' start", reason)) {
    reason += read_file(dir_ + "/server.log");
    return false;
  }
  running_ = true;
  return true;
}

bool pg_cluster::stop(const char* mode, std::string& reason) {
  running_ = false;
  return run(bindir() + "/pg_ctl -D data -w -m " + mode + " stop", reason);
}

bool pg_cluster::promote(std::string& reason) {
  return run(bindir() + "/pg_ctl -D data -w -t 30 promote", reason);
}

std::string pg_cluster::write_file(const std::string& name, const std::string& text, unsigned mode) {
  const std::string path = dir_ + "/" + name;
  const std::filesystem::path parent = std::filesystem::path(path).parent_path();
  if (std::filesystem::create_directories(parent)) give_to_server(parent.string());
  std::ofstream(path) << text;
  chmod(path.c_str(), mode);
  give_to_server(path);
  return path;
}

bool pg_cluster::psql(const std::string& sql, std::string& reason) const {
  return run(bindir() + "/psql -X -v ON_ERROR_STOP=1 -h " + dir_ + " -p " + std::to_string(port_) +
                 " -U postgres -d postgres -c '" + sql + "'",
             reason);
}

std::string pg_cluster::admin_url(const std::string& dbname) const {
  return "postgresql://postgres@/" + dbname + "?host=" + dir_ + "&port=" + std::to_string(port_);
}
