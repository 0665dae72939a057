#pragma once
// The tables, indexes and sequences of the member module, declared once (member_schema) with the
// version of their layout. On PostgreSQL the schema also holds the terminals' group role
// member_terminal and its rights: an administrator creates it; terminals connect as login roles
// that are members of member_terminal.

#include <string>
#include <vector>

#include "framework/db/declared_schema.h"
#include "framework/db/transaction.h"

// The group role whose members are the shop's terminals (PostgreSQL).
inline constexpr const char* terminal_role = "member_terminal";

// The module's layout: tables, columns, indexes, rights and the version this build makes.
const schema_decl& member_schema();

// The statements that make the schema on a new database of a backend, in order (also written
// out as plain SQL files): on PostgreSQL the tables, then the role member_terminal and its rights.
std::vector<std::string> schema_statements(backend kind);

// Creates every table, index and sequence that is missing and upgrades an older layout in place,
// in one transaction, and commits; a newer layout is refused, nothing written. On PostgreSQL it
// also creates the role member_terminal when missing and grants it its rights afresh (an
// administrator's step: it needs the right to create tables and roles). 0 on success; -1 with
// tr's sqlerrtext naming the statement that failed (rolled back).
int create_schema(uo_transaction& tr, const upgrade_observer& observe = {});

// The layout version in the database (0: no member tables; -1 on error).
int member_schema_version(uo_transaction& tr);

// Drops everything create_schema creates (tests and a fresh demo start). 0 or -1 as above.
int drop_schema(uo_transaction& tr);

// Whether the database already holds the member tables (a first run creates the schema when not).
bool schema_exists(uo_transaction& tr);
