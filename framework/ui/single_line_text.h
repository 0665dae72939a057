#pragma once
// Keeps a single-line field on one line: line breaks and tabs that a paste brings in are
// replaced as they arrive (a search drops them, a cell keeps the words apart with a space).

#include <QString>

class QLineEdit;

// Line breaks (a CR LF pair counts as one) and tabs in what the user puts into the edit become
// `replacement` ("" or " ").
void keep_single_line(QLineEdit* edit, const QString& replacement);

// The same replacement on a text.
QString single_line(const QString& text, const QString& replacement);
