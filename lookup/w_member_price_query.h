#pragma once
// Report of every article's ordinary price beside its member level 1, 2 and 3 prices; typing an
// article id into sle_article moves the list to that article.

#include <QLabel>

#include "framework/ui/u_wsk_sle.h"
#include "framework/ui/w_simple_report.h"

class w_member_price_query : public w_simple_report {
  Q_OBJECT
 public:
  explicit w_member_price_query(QWidget* parent = nullptr);

  QLabel* st_1 = nullptr;             // children of the window: released with it
  u_wsk_sle* sle_article = nullptr;

  void create() override;
  void kpo_postopen() override;
  // sle_article's `modified`: makes the row of the typed article id current; silent otherwise.
  long sle_modified(u_wsk_sle& sle) override;
};
