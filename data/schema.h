#pragma once
// The tables, indexes and sequences of the member module, one DDL per backend. On PostgreSQL the
// schema also holds the terminals' group role member_terminal and its rights: an administrator
// creates it; terminals connect as login roles that are members of member_terminal.

#include <string>
#include <vector>

#include "framework/db/transaction.h"

// The group role whose members are the shop's terminals (PostgreSQL).
inline constexpr const char* terminal_role = "member_terminal";

// The statements create_schema runs on a backend, in order (also written out as plain SQL files):
// on PostgreSQL the tables, then the role member_terminal and its rights.
std::vector<std::string> schema_statements(backend kind);

// Creates every table, index and sequence that is missing, in one transaction, and commits. On
// PostgreSQL it also creates the role member_terminal when missing and grants it its rights
// afresh (an administrator's step: it needs the right to create tables and roles).
// 0 on success; -1 with tr's sqlerrtext naming the statement that failed (rolled back).
int create_schema(uo_transaction& tr);

// Drops everything create_schema creates (tests and a fresh demo start). 0 or -1 as above.
int drop_schema(uo_transaction& tr);

// Whether the database already holds the member table (a first run creates the schema when not).
bool schema_exists(uo_transaction& tr);
