#include "framework/ui/uo_toolbar.h"

#include <QAction>

uo_toolbar::uo_toolbar(QWidget* parent) : QToolBar(parent) {
  setObjectName("uo_toolbar");
  setToolButtonStyle(Qt::ToolButtonTextOnly);
  setMovable(false);
  auto add = [this](const char* text, const char* name, QKeySequence key = {}) {
    QAction* a = addAction(QString::fromUtf8(text));
    a->setObjectName(name);
    if (!key.isEmpty()) {
      a->setShortcut(key);
      a->setShortcutContext(Qt::WindowShortcut);
      a->setToolTip(QString::fromUtf8(text) + " (" + key.toString(QKeySequence::NativeText) + ")");
    }
    return a;
  };
  act_retrieve = add("检索", "act_retrieve", QKeySequence(Qt::Key_F5));
  act_insert = add("增加", "act_insert", QKeySequence(Qt::CTRL | Qt::Key_N));
  act_delete = add("删除", "act_delete", QKeySequence(Qt::CTRL | Qt::Key_D));
  act_save = add("保存", "act_save", QKeySequence(Qt::CTRL | Qt::Key_S));
  addSeparator();
  act_open = add("打开", "act_open");
  addSeparator();
  act_export = add("导出", "act_export", QKeySequence(Qt::CTRL | Qt::Key_E));
  act_print = add("打印", "act_print", QKeySequence(Qt::CTRL | Qt::Key_P));
  act_pdf = add("PDF", "act_pdf");
  addSeparator();
  act_close = add("关闭", "act_close", QKeySequence(Qt::Key_Escape));
}
