#include "framework/ui/w_single_dw_list.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QResizeEvent>
#include <QTableView>

#include "framework/db/transaction.h"
#include "framework/expression/expression.h"
#include "framework/runtime/runtime.h"
#include "framework/ui/dw_export.h"
#include "framework/ui/dw_report_print.h"
#include "framework/ui/units.h"
#include "framework/ui/work_progress.h"

namespace {

// Before long work: the window repaints where a closed dialog stood, and shows its status line
// cleared.
void repaint_now(QWidget* w) {
  QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  w->repaint();
}

// The report's stages on the progress dialog.
report_progress report_steps(work_progress& progress) {
  return [&progress, stage = report_stage::laying_out](report_stage now, int64_t done,
                                                       int64_t total) mutable {
    if (now != stage) {
      stage = now;
      progress.set_label(QString::fromUtf8("正在输出第 %1 页，共 %2 页..."));
    }
    return progress.step(done, total);
  };
}

QString report_label() { return QString::fromUtf8("正在排版：%1 / %2 行..."); }

}  // namespace

w_single_dw_list::w_single_dw_list(QWidget* parent) : w_base(parent) {
  setWindowFlags(Qt::Window);
  resize(1000, 640);
  toolbar = new uo_toolbar(this);
  dw_1 = new u_wsk_dw(this);
  dw_1->setObjectName("dw_1");
  dw_1->set_show_progress(true);
  status = new status_line(this);
  status->watch(dw_1);

  connect(toolbar->act_retrieve, &QAction::triggered, this, [this] { retrieve_action(); });
  connect(toolbar->act_insert, &QAction::triggered, this, [this] { insert_action(); });
  connect(toolbar->act_delete, &QAction::triggered, this, [this] { delete_action(); });
  connect(toolbar->act_save, &QAction::triggered, this, [this] { save_action(); });
  connect(toolbar->act_open, &QAction::triggered, this, [this] { kpo_open(); });
  connect(toolbar->act_close, &QAction::triggered, this, [this] { close_window(); });
  connect(toolbar->act_export, &QAction::triggered, this, [this] {
    const QString path = QFileDialog::getSaveFileName(this, QString::fromUtf8("导出"),
                                                      windowTitle() + ".csv", "CSV (*.csv)");
    if (!path.isEmpty()) export_csv_to(path.toStdString());
  });
  connect(toolbar->act_pdf, &QAction::triggered, this, [this] {
    const QString path = QFileDialog::getSaveFileName(this, QString::fromUtf8("保存为 PDF"),
                                                      windowTitle() + ".pdf", "PDF (*.pdf)");
    if (!path.isEmpty()) write_pdf_to(path.toStdString());
  });
  connect(toolbar->act_print, &QAction::triggered, this, [this] {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() == QDialog::Accepted) print_to(printer);
  });
}

void w_single_dw_list::create() { w_base::create(); }

void w_single_dw_list::kpo_preopen() {
  w_base::kpo_preopen();
  dw_1->of_settransobject(sqlca);
}

void w_single_dw_list::kpo_postopen() { w_base::kpo_postopen(); }

void w_single_dw_list::open_finished() {
  w_base::open_finished();
  paint_now();  // the window shows before its list is read
  (void)dw_1->of_retrieve();  // a failed read is reported by the control
}

int w_single_dw_list::kpo_save(int an_commit) {
  w_base::kpo_save(an_commit);
  return kpo_savedata();
}

int w_single_dw_list::kpo_savedata() {
  if (dw_1->accepttext() < 0) return -1;
  if (dw_1->modifiedcount() <= 0 && dw_1->deletedcount() <= 0) return 1;
  return dw_1->of_update();
}

bool w_single_dw_list::has_unsaved_changes() const {
  if (dw_1->dv().definition().update_table.empty()) return false;
  return dw_1->modifiedcount() > 0 || dw_1->deletedcount() > 0;
}

void w_single_dw_list::dw_enterpressed(u_wsk_dw& dw) {
  w_base::dw_enterpressed(dw);
  kpo_open();
}

void w_single_dw_list::dw_doubleclicked(u_wsk_dw& dw, int64_t row) {
  w_base::dw_doubleclicked(dw, row);
  if (row > 0) kpo_open();
}

void w_single_dw_list::accept_pending_edits() {
  // A refusal is shown by the control; what was stored is offered for saving.
  (void)dw_1->accepttext();
}

void w_single_dw_list::set_dw_top(int y_units) {
  dw_top_px_ = units_to_px_y(y_units);
  layout_dw();
}

int64_t w_single_dw_list::find_shown_row(const std::string& column, const std::string& label,
                                         const std::string& text) {
  status->clear_outcome();
  const int64_t rows = dw_1->rowcount();
  // The typed text is a literal of the expression, never part of its syntax.
  const int64_t found = rows > 0 ? dw_1->find(column + "=" + expr_quote(text), 1, rows) : 0;
  if (found > 0) {
    (void)dw_1->scrolltorow(found);  // a found row: always there
    return found;
  }
  status->show_note(QString::fromStdString("未找到" + label + " " + text));
  return 0;
}

std::string w_single_dw_list::report_title() const { return title(); }

void w_single_dw_list::resizeEvent(QResizeEvent* e) {
  w_base::resizeEvent(e);
  layout_dw();
}

void w_single_dw_list::layout_dw() {
  const int bar = toolbar->sizeHint().height();
  toolbar->setGeometry(0, 0, width(), bar);
  const int top = std::max(dw_top_px_, bar);
  const int foot = status->sizeHint().height();
  status->setGeometry(0, height() - foot, width(), foot);
  dw_1->setGeometry(0, top, width(), std::max(0, height() - top - foot));
}

int w_single_dw_list::retrieve_action() {
  if (!ask_save_first()) return 0;
  return dw_1->of_retrieve() < 0 ? -1 : 1;
}

int w_single_dw_list::save_action() {
  // A save that writes rows reports them through dw_1's update; one that wrote none says so.
  status->clear_outcome();
  const int rc = kpo_save(1);
  if (rc >= 0 && status->outcome_text().isEmpty()) status->show_nothing_to_save();
  return rc;
}

int w_single_dw_list::insert_action() {
  const int64_t row = dw_1->insertrow(0);
  if (row <= 0) return -1;
  dw_1->setfocus();
  return 1;
}

int w_single_dw_list::delete_action() {
  const int64_t row = dw_1->getrow();
  if (row <= 0) return 0;
  return dw_1->deleterow(row) > 0 ? 1 : -1;
}

int w_single_dw_list::export_csv_to(const std::string& path) {
  std::string error;
  status->clear_outcome();
  repaint_now(this);
  work_progress progress(this, QString::fromUtf8("导出"), QString::fromUtf8("已导出 %1 / %2 行..."));
  const bool written = export_csv(*dw_1, path, error, [&progress](int64_t done, int64_t total) {
    return progress.step(done, total);
  });
  if (written) {
    status->show_exported(dw_1->rowcount(), QString::fromStdString(path));
    return 1;
  }
  if (progress.cancelled()) {
    status->show_note(QString::fromUtf8("已取消导出，没有写入 %1").arg(QString::fromStdString(path)));
    return 0;
  }
  messagebox(title(), error, mb_icon::stop, mb_buttons::ok, 1);
  return -1;
}

int w_single_dw_list::print_to(QPrinter& printer) {
  // Printing to a file makes a PDF, written like any other.
  const QString file = printer.outputFileName();
  if (!file.isEmpty())
    return report_to_file(file.toStdString(), {printer.pageLayout(), printer.resolution()},
                          "已打印到文件 %1");
  status->clear_outcome();
  repaint_now(this);
  work_progress progress(this, QString::fromUtf8("打印"), report_label());
  const report_outcome out = paint_report(*dw_1, report_title(), printer, report_steps(progress));
  if (out.painted) {
    status->show_report(QString::fromStdString(report_title()), out.pages,
                        QString::fromUtf8("已送往打印机 %1").arg(printer.printerName()));
    return 1;
  }
  if (out.cancelled) {
    status->show_note(QString::fromUtf8("已取消打印"));
    return 0;
  }
  messagebox(title(), "无法打印到打印机 " + printer.printerName().toStdString(), mb_icon::stop,
             mb_buttons::ok, 1);
  return -1;
}

int w_single_dw_list::write_pdf_to(const std::string& path, const report_page& page) {
  return report_to_file(path, page, "已写入 PDF 文件 %1");
}

int w_single_dw_list::report_to_file(const std::string& path, const report_page& page,
                                     const char* where_done) {
  std::string error;
  status->clear_outcome();
  repaint_now(this);
  work_progress progress(this, QString::fromUtf8("输出报表"), report_label());
  const report_outcome out = write_pdf(*dw_1, report_title(), path, error, page, report_steps(progress));
  const QString file = QString::fromStdString(path);
  if (out.painted) {
    status->show_report(QString::fromStdString(report_title()), out.pages,
                        QString::fromUtf8(where_done).arg(file));
    return 1;
  }
  if (out.cancelled) {
    status->show_note(QString::fromUtf8("已取消输出，没有写入 %1").arg(file));
    return 0;
  }
  messagebox(title(), error, mb_icon::stop, mb_buttons::ok, 1);
  return -1;
}
