#include "framework/ui/w_simple_report.h"

#include <QAction>

w_simple_report::w_simple_report(QWidget* parent) : w_single_dw_list(parent) {
  for (QAction* a : {toolbar->act_insert, toolbar->act_delete, toolbar->act_save}) {
    a->setVisible(false);
    a->setEnabled(false);
  }
  // A report has no detail to open: the command is shown, disabled.
  toolbar->act_open->setEnabled(false);
}

void w_simple_report::create() { w_single_dw_list::create(); }
void w_simple_report::kpo_postopen() { w_single_dw_list::kpo_postopen(); }
int w_simple_report::kpo_save(int /*an_commit*/) { return 1; }
void w_simple_report::open_finished() {}
