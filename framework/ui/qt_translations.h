#pragma once
// Qt's own texts in the module's language: the file, print and date dialogs and the standard
// buttons speak Chinese. Loads Qt's translation qtbase_zh_CN (Debian: qt6-translations-l10n)
// and makes zh_CN the default locale (month and day names). Without the file Qt's texts stay
// English; that is no error.

#include <QString>

// dir: where the translation files are; empty = Qt's own translations folder. Answers whether
// the translation was loaded and installed (once per application; a second call replaces it).
bool install_qt_translations(const QString& dir = {});
