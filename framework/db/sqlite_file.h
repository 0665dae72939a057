#pragma once
// The file behind an embedded (SQLite) database: the path a "sqlite:" URL names, and whether the
// file a connection has open is still the one at that path. Another program may delete, rename
// or replace the file under a running terminal; what is written then goes nowhere.

#include <string>

struct sqlite3;

// The file a "sqlite:PATH" or "sqlite://PATH" URL names; empty when it names none.
std::string sqlite_file_of(const std::string& url);

// Whether the file db opened as its main database is no longer at its path: deleted, renamed
// away or replaced by another file.
bool sqlite_file_has_moved(sqlite3* db);
