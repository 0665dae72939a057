#include "framework/db/sqlite_file.h"

#include <sqlite3.h>

std::string sqlite_file_of(const std::string& url) {
  if (url.rfind("sqlite:", 0) != 0) return {};
  std::string path = url.substr(7);
  if (path.rfind("//", 0) == 0) path.erase(0, 2);
  return path;
}

bool sqlite_file_has_moved(sqlite3* db) {
  int moved = 0;
  // SQLite compares the open file with what its path names now (a stat, no open: opening and
  // closing the file would drop the connection's locks on it).
  if (sqlite3_file_control(db, "main", SQLITE_FCNTL_HAS_MOVED, &moved) != SQLITE_OK) return false;
  return moved != 0;
}
