#pragma once
// 会员奖励记录: the redemptions between the dates of uo_start and uo_end (both days inclusive)
// with the member's number, name and identity card; Enter in sle_1 narrows the list to one
// member number, matched literally. A report: nothing typed into it is saved.

#include <QLabel>

#include "framework/ui/u_wsk_sle.h"
#include "framework/ui/w_duration_report.h"

class w_member_award_record : public w_duration_report {
  Q_OBJECT
 public:
  w_member_award_record();

  QLabel* st_3 = nullptr;
  u_wsk_sle* sle_1 = nullptr;

  void create() override;
  void kpo_preopen() override;

  // dw_1's kpo_retrieve: reads the report for the chosen days.
  long dw_kpo_retrieve(u_wsk_dw& dw) override;
  // sle_1's kpo_keypressed: on Enter keeps only the rows of the typed member number.
  long sle_kpo_keypressed(u_wsk_sle& sle, int key, int keyflags) override;
};
