#include "framework/ui/single_line_text.h"

#include <QLineEdit>
#include <QRegularExpression>

QString single_line(const QString& text, const QString& replacement) {
  static const QRegularExpression breaks(QStringLiteral("\r\n|[\r\n\t\v\f\u2028\u2029]"));
  QString out = text;
  return out.replace(breaks, replacement);
}

void keep_single_line(QLineEdit* edit, const QString& replacement) {
  QObject::connect(edit, &QLineEdit::textEdited, edit, [edit, replacement](const QString& text) {
    const QString one = single_line(text, replacement);
    if (one == text) return;
    // The cursor stays after what was put in: the text before it is replaced alike.
    const int cursor = single_line(text.left(edit->cursorPosition()), replacement).size();
    edit->setText(one);
    edit->setCursorPosition(cursor);
  });
}
