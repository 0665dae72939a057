#include "framework/ui/w_dialog.h"

#include <QResizeEvent>

#include "framework/ui/u_wsk_dw.h"
#include "framework/ui/units.h"

namespace {
constexpr int button_width = 293, button_height = 96;  // host units
}  // namespace

w_dialog::w_dialog(QWidget* parent) : w_base(parent) {
  p_sign = new QLabel(this);
  p_sign->setObjectName("p_sign");
  cb_ok = new QPushButton(QString::fromUtf8("确定"), this);
  cb_ok->setObjectName("cb_ok");
  cb_cancel = new QPushButton(QString::fromUtf8("取消"), this);
  cb_cancel->setObjectName("cb_cancel");
  cb_help = new QPushButton(QString::fromUtf8("帮助(&H)"), this);
  cb_help->setObjectName("cb_help");
  for (QPushButton* b : {cb_ok, cb_cancel, cb_help}) {
    b->setAutoDefault(false);
    b->resize(units_to_px_x(button_width), units_to_px_y(button_height));
  }
  cb_ok->setDefault(true);
  connect(cb_ok, &QPushButton::clicked, this, [this] { cb_ok_clicked(); });
  connect(cb_cancel, &QPushButton::clicked, this, [this] { cb_cancel_clicked(); });
}

void w_dialog::cb_ok_clicked() {
  const int rc = kpo_default();
  if (rc == 0 || rc == 1) finish(QDialog::Accepted);
}

void w_dialog::cb_cancel_clicked() { finish(QDialog::Rejected); }

void w_dialog::post_cancel_click() {
  post_event([this] { cb_cancel_clicked(); });
}

bool w_dialog::has_unsaved_changes() const {
  return saved_by_ok_ && (saved_by_ok_->modifiedcount() > 0 || saved_by_ok_->deletedcount() > 0);
}

void w_dialog::accept_pending_edits() {
  w_base::accept_pending_edits();
  // A refusal is shown by the control; what was stored is offered for saving.
  if (saved_by_ok_) (void)saved_by_ok_->accepttext();
}

void w_dialog::controls_created() {
  w_base::controls_created();
  // The buttons are made before the window's controls and so come first in the focus chain,
  // where the opening dialog would give them the keyboard: it starts in the window's first
  // control instead (kpo_postopen may still move it).
  for (QWidget* w = nextInFocusChain(); w != this; w = w->nextInFocusChain()) {
    if (w == cb_ok || w == cb_cancel || w == cb_help) continue;
    if (w->focusPolicy() == Qt::NoFocus || w->isHidden() || !isAncestorOf(w)) continue;
    w->setFocus(Qt::OtherFocusReason);
    return;
  }
}

void w_dialog::resizeEvent(QResizeEvent* e) {
  w_base::resizeEvent(e);
  // Buttons not placed by the window: OK, Cancel, Help from the bottom right corner leftwards.
  int right = width() - units_to_px_x(40);
  const int bottom = height() - units_to_px_y(40);
  for (QPushButton* b : {cb_help, cb_cancel, cb_ok}) {
    if (was_placed(b) || b->isHidden()) continue;
    b->move(right - b->width(), bottom - b->height());
    right -= b->width() + units_to_px_x(40);
  }
}
