#include "framework/ui/w_duration_report.h"

#include "framework/runtime/runtime.h"

w_duration_report::w_duration_report(QWidget* parent) : w_simple_report(parent) {
  st_1 = new QLabel(QString::fromUtf8("起始日期"), this);
  st_1->setObjectName("st_1");
  uo_start = new uo_date(this);
  uo_start->setObjectName("uo_start");
  st_2 = new QLabel(QString::fromUtf8("终止日期"), this);
  st_2->setObjectName("st_2");
  uo_end = new uo_date(this);
  uo_end->setObjectName("uo_end");
  place(st_1, 41, 200, 240, 64);
  place(uo_start, 290, 188, 480, 88);
  place(st_2, 840, 200, 240, 64);
  place(uo_end, 1089, 188, 480, 88);
  set_dw_top(296);

  int y, mo, d, h, mi, s;
  runtime::today().parts(y, mo, d, h, mi, s);
  const QDate first(y, mo, 1);
  uo_start->setDate(first);
  uo_end->setDate(first.addMonths(1).addDays(-1));
}

void w_duration_report::create() {
  w_simple_report::create();
  // A range that ends before it starts lists nothing; the status line says why.
  connect(dw_1, &u_wsk_dw::retrieved, this, [this](qint64 rows) {
    if (rows >= 0 && uo_start->date() > uo_end->date())
      status->show_note(QString::fromUtf8("起始日期 %1 晚于终止日期 %2：日期范围颠倒，没有记录")
                            .arg(uo_start->date().toString("yyyy-MM-dd"),
                                 uo_end->date().toString("yyyy-MM-dd")));
  });
}

void w_duration_report::kpo_postopen() { w_simple_report::kpo_postopen(); }

void w_duration_report::open_finished() {
  w_simple_report::open_finished();
  paint_now();  // the window shows before its report is read
  (void)dw_1->of_retrieve();  // a failed read is reported by the control
  // From now on a change of either date reads the report again.
  for (uo_date* picker : {uo_start, uo_end})
    connect(picker, &QDateEdit::dateChanged, this, [this] { (void)dw_1->of_retrieve(); });
}

std::string w_duration_report::report_title() const {
  return title() + "  " + uo_start->date().toString("yyyy-MM-dd").toStdString() + " 至 " +
         uo_end->date().toString("yyyy-MM-dd").toStdString();
}
