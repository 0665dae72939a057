#pragma once
// Ancestor of the reports over a date range: st_1 "起始日期" uo_start, st_2 "终止日期" uo_end
// above dw_1. It retrieves when the open sequence is over, when a date changes and on the
// toolbar's retrieve. The pickers start on the current month (its first and last day).

#include <QLabel>

#include "framework/ui/uo_date.h"
#include "framework/ui/w_simple_report.h"

class w_duration_report : public w_simple_report {
  Q_OBJECT
 public:
  explicit w_duration_report(QWidget* parent = nullptr);
  void create() override;
  void kpo_postopen() override;
  std::string report_title() const override;  // title and date range

  QLabel* st_1 = nullptr;
  QLabel* st_2 = nullptr;
  uo_date* uo_start = nullptr;
  uo_date* uo_end = nullptr;

 protected:
  void open_finished() override;  // retrieves dw_1
};
