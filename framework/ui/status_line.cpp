#include "framework/ui/status_line.h"

#include <QLabel>

#include "framework/ui/u_wsk_dw.h"

namespace {
// A read at least this long tells its time (the progress dialog shows from the same moment).
constexpr qint64 long_read_ms = 500;
}  // namespace

status_line::status_line(QWidget* parent) : QStatusBar(parent) {
  setObjectName("status_line");
  setSizeGripEnabled(false);
  outcome_ = new QLabel(this);
  outcome_->setObjectName("st_outcome");
  outcome_->setTextInteractionFlags(Qt::TextSelectableByMouse);  // a path can be copied
  // A long outcome (a path) gives way, not the row count at the right: it is cut, whole in its
  // tooltip.
  outcome_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  rows_ = new QLabel(this);
  rows_->setObjectName("st_rows");
  rows_->setContentsMargins(0, 0, 6, 0);
  addWidget(outcome_, 1);
  addPermanentWidget(rows_);
}

void status_line::watch(u_wsk_dw* dw) {
  dw_ = dw;
  connect(dw, &u_wsk_dw::rows_changed, this, &status_line::show_rows);
  connect(dw, &u_wsk_dw::retrieved, this, [this](qint64 rows, qint64 ms) {
    if (rows < 0 || ms < long_read_ms) clear_outcome();
    else show_outcome(QString::fromUtf8("读取 %1 行，用时 %2 秒").arg(rows).arg(ms / 1000.0, 0, 'f', 1));
  });
  connect(dw, &u_wsk_dw::updated, this, [this](qint64 inserted, qint64 changed, qint64 deleted) {
    show_outcome(QString::fromUtf8("已保存：新增 %1 行，修改 %2 行，删除 %3 行")
                     .arg(inserted)
                     .arg(changed)
                     .arg(deleted));
  });
  show_rows();
}

void status_line::show_rows() {
  if (!dw_) return;
  const qint64 shown = dw_->rowcount();
  const qint64 held = dw_->dv().filteredcount();
  rows_->setText(held > 0 ? QString::fromUtf8("显示 %1 行，筛选隐藏 %2 行").arg(shown).arg(held)
                          : QString::fromUtf8("共 %1 行").arg(shown));
}

void status_line::show_outcome(const QString& text) {
  outcome_->setText(text);
  outcome_->setToolTip(text);
}

void status_line::clear_outcome() { show_outcome({}); }

QString status_line::rows_text() const { return rows_->text(); }
QString status_line::outcome_text() const { return outcome_->text(); }

void status_line::show_nothing_to_save() { show_outcome(QString::fromUtf8("没有需要保存的修改")); }

void status_line::show_exported(qint64 rows, const QString& path) {
  show_outcome(QString::fromUtf8("已导出 %1 行到 %2").arg(rows).arg(path));
}

void status_line::show_report(const QString& title, int pages, const QString& where) {
  show_outcome(QString::fromUtf8("“%1”共 %2 页，%3").arg(title).arg(pages).arg(where));
}

void status_line::show_note(const QString& text) { show_outcome(text); }
