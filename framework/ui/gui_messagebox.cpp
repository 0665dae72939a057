#include "framework/ui/gui_messagebox.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <vector>

#include "framework/ui/module_font.h"

namespace {

struct button_spec {
  const char* text;
  QMessageBox::ButtonRole role;
};

std::vector<button_spec> buttons_of(mb_buttons b) {
  switch (b) {
    case mb_buttons::ok: return {{"确定", QMessageBox::AcceptRole}};
    case mb_buttons::okcancel:
      return {{"确定", QMessageBox::AcceptRole}, {"取消", QMessageBox::RejectRole}};
    case mb_buttons::yesno:
      return {{"是(&Y)", QMessageBox::YesRole}, {"否(&N)", QMessageBox::NoRole}};
    case mb_buttons::yesnocancel:
      return {{"是(&Y)", QMessageBox::YesRole},
              {"否(&N)", QMessageBox::NoRole},
              {"取消", QMessageBox::RejectRole}};
    case mb_buttons::retrycancel:
      return {{"重试(&R)", QMessageBox::AcceptRole}, {"取消", QMessageBox::RejectRole}};
    case mb_buttons::abortretryignore:
      return {{"中止(&A)", QMessageBox::RejectRole},
              {"重试(&R)", QMessageBox::AcceptRole},
              {"忽略(&I)", QMessageBox::AcceptRole}};
  }
  return {{"确定", QMessageBox::AcceptRole}};
}

QMessageBox::Icon icon_of(mb_icon i) {
  switch (i) {
    case mb_icon::none: return QMessageBox::NoIcon;
    case mb_icon::information: return QMessageBox::Information;
    case mb_icon::question: return QMessageBox::Question;
    case mb_icon::exclamation: return QMessageBox::Warning;
    case mb_icon::stop: return QMessageBox::Critical;
  }
  return QMessageBox::Information;
}

}  // namespace

int show_gui_messagebox(const msgbox_request& req) {
  QMessageBox box(QApplication::activeModalWidget() ? QApplication::activeModalWidget()
                                                    : QApplication::activeWindow());
  box.setFont(module_font());
  box.setWindowTitle(QString::fromStdString(req.title));
  box.setText(QString::fromStdString(req.text));
  box.setIcon(icon_of(req.icon));
  // The Song face draws "_" at the very foot of its line, where the label's text area cuts it
  // off on the last line: a label a little taller than its lines keeps it visible.
  if (auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label")))
    label->setMinimumHeight(label->sizeHint().height() + QFontMetrics(box.font()).height() / 4 + 1);
  const std::vector<button_spec> specs = buttons_of(req.buttons);
  std::vector<QPushButton*> pushed;
  for (const button_spec& s : specs) pushed.push_back(box.addButton(QString::fromUtf8(s.text), s.role));
  const size_t def = req.default_button >= 1 && size_t(req.default_button) <= pushed.size()
                         ? size_t(req.default_button) - 1
                         : 0;
  box.setDefaultButton(pushed[def]);
  // Esc answers the last button (Cancel, No, Ignore) or the only one.
  box.setEscapeButton(pushed.back());
  box.exec();
  for (size_t i = 0; i < pushed.size(); ++i)
    if (box.clickedButton() == pushed[i]) return int(i) + 1;
  return int(pushed.size());
}
