#pragma once
// Ancestor of the report windows: the list ancestor without editing actions (no insert, delete
// or save; 打开 shown disabled) and without its own retrieval at opening: the window starts it (kpo_postopen).

#include "framework/ui/w_single_dw_list.h"

class w_simple_report : public w_single_dw_list {
  Q_OBJECT
 public:
  explicit w_simple_report(QWidget* parent = nullptr);
  void create() override;
  void kpo_postopen() override;  // does not retrieve: the window decides
  int kpo_save(int an_commit) override;  // nothing to save: 1
  bool has_unsaved_changes() const override { return false; }  // a report is never saved

 protected:
  void open_finished() override;
};
