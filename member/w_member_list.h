#pragma once
// Ancestor of the two member lists (会员维护, 会员查看): a grid of the shop's members with a
// member-number search above it, the checks made before a save, and a detail window opened
// with the current row's memberid.

#include <QLabel>
#include <string>

#include "framework/ui/u_wsk_sle.h"
#include "framework/ui/w_single_dw_list.h"

class w_member_list : public w_single_dw_list {
  Q_OBJECT
 public:
  QLabel* st_1 = nullptr;
  u_wsk_sle* sle_1 = nullptr;

  void create() override;
  void kpo_open() override;
  int kpo_save(int an_commit) override;
  int kpo_savedata() override;

  // 1 when every row may be saved; -1 when the user kept an empty member code or a phone number
  // has the wrong length (MOBILE_CHECK 1).
  int wf_validation();

  // dw_1's kpo_retrieve, in place of the ancestor's: the list of the shop whose number the
  // terminal's ini file holds.
  long dw_kpo_retrieve(u_wsk_dw& dw) override;
  // sle_1's kpo_keypressed: on Enter, moves to the first row whose memberno is the typed text.
  long sle_kpo_keypressed(u_wsk_sle& sle, int key, int keyflags) override;

 protected:
  w_member_list(const std::string& title, const std::string& dataobject,
                std::string detail_window);

 private:
  // Rows added here and saved without a shop number take the shop number of the list, so that
  // they stay in the list that added them.
  void wf_set_new_rows_site();

  std::string is_dataobject;
  std::string is_detail_window;  // opened by kpo_open with the current row's memberid
  int64_t il_siteid = 0;         // the shop number of the last load
};
