#pragma once
// Whether the connected role may create tables where a module's schema goes: the current schema
// on PostgreSQL (an administrator's right, not a terminal's); always on SQLite.

class uo_transaction;

bool may_create_schema(uo_transaction& tr);
