#pragma once
// Date picker of the report windows.

#include <QDateEdit>

#include "framework/value/value.h"

class uo_date : public QDateEdit {
  Q_OBJECT
 public:
  explicit uo_date(QWidget* parent = nullptr);
  datetime of_getstartdatetime() const;  // the chosen day at 00:00:00
  datetime of_getenddatetime() const;    // the chosen day at 23:59:59
  void of_setdate(const datetime& d);
};
