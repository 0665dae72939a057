#include "framework/ui/qt_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QPointer>
#include <QTranslator>

bool install_qt_translations(const QString& dir) {
  static QPointer<QTranslator> installed;
  const QLocale chinese(QLocale::Chinese, QLocale::China);
  QLocale::setDefault(chinese);
  if (installed) {
    QCoreApplication::removeTranslator(installed);
    delete installed;
  }
  auto* translator = new QTranslator(QCoreApplication::instance());
  const QString from = dir.isEmpty() ? QLibraryInfo::path(QLibraryInfo::TranslationsPath) : dir;
  if (!translator->load("qtbase_zh_CN", from) ||
      !QCoreApplication::installTranslator(translator)) {
    delete translator;
    return false;
  }
  installed = translator;
  return true;
}
