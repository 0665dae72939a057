#pragma once
// The sqlite3 command-line tool run on a database file: another program that opens and closes
// the database while the terminal holds it, as a shop's own tools do.

#include <string>

// What the tool prints for sql (trimmed); a test failure when it cannot run it.
std::string sqlite3_tool(const std::string& db_file, const std::string& sql);
