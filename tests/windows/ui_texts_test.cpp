// Texts around the module's own: Qt's dialogs and buttons in Chinese when Qt's translation is
// installed (English without it), and the launcher naming each window by the window's title.

#include <gtest/gtest.h>

#include <QDialogButtonBox>
#include <QLibraryInfo>
#include <QPushButton>
#include <QTemporaryDir>

#include "framework/ui/qt_translations.h"
#include "host/launcher_window.h"
#include "support/window_helpers.h"

namespace {

std::string cancel_text() {
  QDialogButtonBox box(QDialogButtonBox::Cancel);
  return box.button(QDialogButtonBox::Cancel)->text().toStdString();
}

TEST(ui_texts, qt_speaks_chinese_when_its_translation_is_there) {
  const QString qt_dir = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
  if (!QFile::exists(qt_dir + "/qtbase_zh_CN.qm"))
    GTEST_SKIP() << "qtbase_zh_CN.qm is not installed (qt6-translations-l10n)";
  ASSERT_TRUE(install_qt_translations());
  EXPECT_EQ(cancel_text(), "取消");
  EXPECT_EQ(QLocale().monthName(1).toStdString(), "一月");

  // Without the file: Qt's own English, and no error.
  QTemporaryDir empty;
  EXPECT_FALSE(install_qt_translations(empty.path()));
  EXPECT_EQ(cancel_text(), "Cancel");
  EXPECT_TRUE(install_qt_translations());
}

TEST(ui_texts, the_launcher_names_windows_by_their_titles) {
  launcher_window launcher("sqlite:none.db");
  auto caption = [&](const std::string& class_name) {
    auto* button = find_control<QPushButton>(&launcher, "cb_" + class_name);
    return button ? button->text().toStdString() : "(no button)";
  };
  EXPECT_EQ(caption("w_member_award_method"), "会员奖励方案");
  EXPECT_EQ(caption("w_member_award"), "会员奖励领取");
  EXPECT_EQ(caption("w_choose_member"), "会员选择");
  EXPECT_EQ(caption("w_member_info"), "会员资料修改");
}

}  // namespace
