#pragma once
// Progress of long work on a window (a retrieval, an export, a print): once the work has run
// half a second, a progress dialog modal to the window shows how far it is and offers to cancel.
// Call step() as the work goes on; it keeps the window painted while the dialog shows.

#include <QElapsedTimer>
#include <QString>
#include <cstdint>
#include <memory>

class QProgressDialog;
class QWidget;

class work_progress {
 public:
  // title: the dialog's caption; label: its text, with %1 for the units done and %2 for the total.
  work_progress(QWidget* window, QString title, QString label);
  ~work_progress();
  // done of total units (total 0: not known); false once the user has cancelled.
  bool step(int64_t done, int64_t total = 0);
  // A new stage of the same work with its own label (e.g. laying out, then painting pages).
  void set_label(QString label);
  bool cancelled() const { return cancelled_; }
  // How long work runs before the dialog shows (half a second); tests shorten it.
  static void set_show_after_ms(qint64 ms);

 private:
  QWidget* window_;
  QString title_, label_;
  QElapsedTimer clock_;
  qint64 last_update_ms_ = 0;
  bool cancelled_ = false;
  std::unique_ptr<QProgressDialog> dialog_;
};
