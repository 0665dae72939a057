#include "framework/ui/retrieve_progress.h"

#include <QApplication>
#include <QProgressDialog>

namespace {
constexpr int show_after_ms = 500;
}

retrieve_progress::retrieve_progress(QWidget* parent) : parent_(parent) { clock_.start(); }

retrieve_progress::~retrieve_progress() = default;

bool retrieve_progress::progress(int64_t rows) {
  if (!dialog_) {
    if (clock_.elapsed() < show_after_ms) return true;
    dialog_ = std::make_unique<QProgressDialog>(QString::fromUtf8("正在读取数据..."),
                                                QString::fromUtf8("取消"), 0, 0, parent_);
    dialog_->setWindowTitle(QString::fromUtf8("读取数据"));
    dialog_->setWindowModality(Qt::ApplicationModal);
    dialog_->setMinimumDuration(0);
    dialog_->show();
  }
  dialog_->setLabelText(QString::fromUtf8("已读取 %1 行...").arg(rows));
  QApplication::processEvents();
  return !dialog_->wasCanceled();
}
