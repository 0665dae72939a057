#pragma once
// The tables, indexes and sequences of the member module, one DDL per backend.

#include "framework/db/transaction.h"

// Creates every table, index and sequence that is missing, in one transaction, and commits.
// 0 on success; -1 with tr's sqlerrtext naming the statement that failed (rolled back).
int create_schema(uo_transaction& tr);

// Drops everything create_schema creates (tests and a fresh demo start). 0 or -1 as above.
int drop_schema(uo_transaction& tr);

// Whether the database already holds the member table (a first run creates the schema when not).
bool schema_exists(uo_transaction& tr);
