#pragma once
// The demo terminal's main window: offers the windows the loaded modules declare and opens them
// by class name, as the point-of-sale host would, shows the member id a choosing dialog hands
// back, names the database it is connected to and says which modules could not be loaded. Each
// button carries the title the window's metadata declares (no window is made to read it).
// database_note says what this start did to the database (an upgrade, and where the copy from
// before it is).

#include <QPointer>
#include <QWidget>
#include <cstdint>
#include <string>
#include <vector>

#include "framework/module/module_loader.h"

class QLabel;
class QLineEdit;
class QPushButton;
class w_base;

class launcher_window : public QWidget {
  Q_OBJECT
 public:
  explicit launcher_window(const std::string& database_url,
                           const std::vector<module_failure>& failures = {},
                           const std::string& database_note = {}, QWidget* parent = nullptr);

  // The windows the loaded modules declare that open without a parameter, by class name.
  static std::vector<std::string> list_windows();

  // Opens a window by class name; a non-modal window stays open and is closed with the launcher.
  void open_class(const std::string& class_name, int64_t parm = 0);
  // Opens a window that takes a search text (w_choose_member) and shows the memberid it hands
  // back.
  void choose_member(const std::string& class_name);

  QLineEdit* sle_search = nullptr;
  QLabel* st_chosen = nullptr;
  QLineEdit* sle_memberid = nullptr;
  QLabel* st_status = nullptr;
  QLabel* st_modules = nullptr;  // modules that could not be loaded, and why

 protected:
  void closeEvent(QCloseEvent* e) override;

 private:
  QPushButton* make_button(const std::string& class_name, const std::string& caption);
  QLabel* make_class_label(const std::string& class_name);
  void open_with_memberid(const std::string& class_name);
  std::vector<QPointer<w_base>> open_;
};
