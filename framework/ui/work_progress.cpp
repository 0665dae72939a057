#include "framework/ui/work_progress.h"

#include <QApplication>
#include <QProgressDialog>

namespace {
qint64 show_after_ms = 500;
constexpr qint64 update_every_ms = 40;  // the dialog and the window repaint this often at most
}  // namespace

work_progress::work_progress(QWidget* window, QString title, QString label)
    : window_(window), title_(std::move(title)), label_(std::move(label)) {
  clock_.start();
}

work_progress::~work_progress() = default;

void work_progress::set_show_after_ms(qint64 ms) { show_after_ms = ms; }

void work_progress::set_label(QString label) {
  label_ = std::move(label);
  last_update_ms_ = 0;
}

bool work_progress::step(int64_t done, int64_t total) {
  if (cancelled_) return false;
  const qint64 now = clock_.elapsed();
  if (now < show_after_ms || (dialog_ && now - last_update_ms_ < update_every_ms)) return true;
  last_update_ms_ = now;
  if (!dialog_) {
    dialog_ = std::make_unique<QProgressDialog>(QString(), QString::fromUtf8("取消"), 0, 0, window_);
    dialog_->setWindowTitle(title_);
    dialog_->setWindowModality(Qt::WindowModal);
    dialog_->setMinimumDuration(0);
    dialog_->setAutoReset(false);
    dialog_->setAutoClose(false);
    dialog_->show();
  }
  // A bar when the total is known; a busy bar otherwise. Progress bars hold ints.
  const int scale = total > INT32_MAX ? int(total / INT32_MAX + 1) : 1;
  dialog_->setLabelText(total > 0 ? label_.arg(done).arg(total) : label_.arg(done));
  dialog_->setMaximum(int(total / scale));
  dialog_->setValue(int(std::min(done, total) / scale));
  QApplication::processEvents();  // the user input the dialog lets through is its cancel
  cancelled_ = dialog_->wasCanceled();
  return !cancelled_;
}
