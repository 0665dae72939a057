#pragma once
// Ancestor of the report windows: the list ancestor without editing actions (no insert, delete
// or save). The window starts its own retrieval (kpo_postopen).

#include "framework/ui/w_single_dw_list.h"

class w_simple_report : public w_single_dw_list {
  Q_OBJECT
 public:
  explicit w_simple_report(QWidget* parent = nullptr);
  void create() override;
  void kpo_postopen() override;  // does not retrieve: the window decides
  int kpo_save(int an_commit) override;  // nothing to save: 1
};
