#include "framework/db/schema_rights.h"

#include "framework/db/transaction.h"

bool may_create_schema(uo_transaction& tr) {
  if (tr.kind() != backend::postgres) return true;
  std::vector<value> into;
  return tr.select_into("SELECT has_schema_privilege(current_schema(), 'CREATE')", {}, into) == 0 &&
         !into.empty() && into[0].is_long() && into[0].as_long() == 1;
}
