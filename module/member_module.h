#pragma once
// The member module as a plugin: its nine windows, their data views, the member level drop-down,
// the schema and the demo data, offered to the host through module_interface.

#include <QObject>

#include "framework/module/module_interface.h"

class member_module : public QObject, public module_interface {
  Q_OBJECT
  Q_PLUGIN_METADATA(IID MEMBER_MODULE_IID FILE "member_module.json")
  Q_INTERFACES(module_interface)

 public:
  void init() override;
  std::string missing_table(uo_transaction& tr) override;
  int create_schema(uo_transaction& tr) override;
  int drop_schema(uo_transaction& tr) override;
  int stored_schema_version(uo_transaction& tr) override;
  int schema_version() const override;
  std::string schema_summary(uo_transaction& tr) override;
  int64_t data_rows(uo_transaction& tr) override;
  int generate_demo_data(uo_transaction& tr, int64_t members, int64_t made_on) override;
};
