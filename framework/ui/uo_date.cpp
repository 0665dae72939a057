#include "framework/ui/uo_date.h"

uo_date::uo_date(QWidget* parent) : QDateEdit(parent) {
  setCalendarPopup(true);
  setDisplayFormat("yyyy-MM-dd");
}

datetime uo_date::of_getstartdatetime() const {
  const QDate d = date();
  return datetime::from_parts(d.year(), d.month(), d.day(), 0, 0, 0);
}

datetime uo_date::of_getenddatetime() const {
  const QDate d = date();
  return datetime::from_parts(d.year(), d.month(), d.day(), 23, 59, 59);
}

void uo_date::of_setdate(const datetime& d) {
  int y, mo, day, h, mi, s;
  d.parts(y, mo, day, h, mi, s);
  setDate(QDate(y, mo, day));
}
