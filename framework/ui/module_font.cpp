#include "framework/ui/module_font.h"

#include <QStringList>

QFont module_font() {
  QFont f(QString::fromUtf8("宋体"), 9, QFont::Normal);
  return f;
}

void install_fonts() {
  static bool done = false;
  if (done) return;
  done = true;
  QFont::insertSubstitutions(QString::fromUtf8("宋体"),
                             QStringList{"AR PL UMing CN", "AR PL UMing TW", "Noto Serif CJK SC"});
}
