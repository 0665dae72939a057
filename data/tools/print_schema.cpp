// Prints the member module's schema for one backend as plain SQL, for a database administrator to
// read and apply: the statements create_schema runs, in its order (on PostgreSQL the tables, then
// the role member_terminal and its rights).
//   print_schema sqlite|postgresql

#include <iostream>
#include <string>

#include "data/schema.h"

int main(int argc, char** argv) {
  const std::string which = argc > 1 ? argv[1] : "";
  if (which != "sqlite" && which != "postgresql") {
    std::cerr << "usage: print_schema sqlite|postgresql\n";
    return 64;
  }
  std::cout << "-- Tables, indexes and sequences of the member module (" << which << ")"
            << (which == "postgresql" ? ", the role member_terminal and its rights" : "") << ".\n"
            << "-- Written at build time from the statements the module runs itself on a new"
               " database.\n\n";
  for (const std::string& sql :
       schema_statements(which == "sqlite" ? backend::sqlite : backend::postgres)) {
    std::cout << sql << ";\n\n";
  }
  return 0;
}
