// Texts around the module's own: Qt's dialogs and buttons in Chinese when Qt's translation is
// installed (English without it), and the launcher naming each window by the window's title.

#include <gtest/gtest.h>

#include <QDialogButtonBox>
#include <QLabel>
#include <QLibraryInfo>
#include <QPushButton>
#include <QTemporaryDir>

#include "framework/ui/gui_messagebox.h"
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

// Error texts name tables and columns: "t_member" on a box's last line keeps its underscores.
TEST(ui_texts, underscores_on_a_message_boxs_last_line_are_drawn) {
  int lowest_ink = -1, line = 0;
  when_modal_shows([&](QWidget* box) {
    auto* label = box->findChild<QLabel*>("qt_msgbox_label");
    ASSERT_NE(label, nullptr);
    line = QFontMetrics(label->font()).lineSpacing();
    const QImage shown = label->grab().toImage();
    for (int y = 0; y < shown.height(); ++y)
      for (int x = 0; x < shown.width(); ++x)
        if (qGray(shown.pixel(x, y)) < 128) lowest_ink = y;
    box->close();
  });
  show_gui_messagebox({"提示", "保存失败：\n____", mb_icon::none, mb_buttons::ok, 1});
  EXPECT_GE(lowest_ink, line);  // the second line, underscores only, is drawn
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
