#pragma once
// What a module plugin offers its host. A module is a Qt plugin whose JSON metadata names the
// module, its version and its window classes; its IID carries the framework version it was built
// against, so that a host refuses a module of another framework before loading it.

#include <QtPlugin>
#include <cstdint>
#include <string>

#include "framework/version.h"

class uo_transaction;

class module_interface {
 public:
  virtual ~module_interface() = default;
  // Registers the module's windows and data views. The loader calls it once, after loading.
  virtual void init() = 0;

  // The module's tables: "" when they are in the database, else the name of one found missing.
  virtual std::string missing_table(uo_transaction& tr) = 0;
  // Creates what is missing of the module's schema and upgrades an older layout in place, in one
  // transaction (on PostgreSQL with the role its terminals are members of and that role's rights:
  // an administrator's step); drops it again. 0, or -1 with tr's sqlerrtext set.
  virtual int create_schema(uo_transaction& tr) = 0;
  virtual int drop_schema(uo_transaction& tr) = 0;
  // The version of the module's layout in the database (0: none of its tables; -1 with tr's
  // sqlerrtext on error), and the version this build makes.
  virtual int stored_schema_version(uo_transaction& tr) = 0;
  virtual int schema_version() const = 0;
  // What create_schema puts in place on the connection's backend, for the administrator's report.
  virtual std::string schema_summary(uo_transaction& tr) = 0;
  // Rows of the module's main table, -1 on error: demo data goes only into an empty module.
  virtual int64_t data_rows(uo_transaction& tr) = 0;
  // Demo data for a first run: members 10..1,000,000, made on the day made_on (yyyymmdd).
  virtual int generate_demo_data(uo_transaction& tr, int64_t members, int64_t made_on) = 0;
};

#define MEMBER_MODULE_IID_PREFIX "org.member-terminal.module/"
#define MEMBER_MODULE_IID MEMBER_MODULE_IID_PREFIX MEMBER_FRAMEWORK_VERSION
Q_DECLARE_INTERFACE(module_interface, MEMBER_MODULE_IID)
