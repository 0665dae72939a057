#pragma once
// The demo terminal's main window: opens the member module's windows by class name, as the
// point-of-sale host would, shows the member id the choose-member dialog hands back, and names
// the database it is connected to. Each button carries the title of the window it opens.

#include <QPointer>
#include <QWidget>
#include <string>
#include <vector>

class QLabel;
class QLineEdit;
class QPushButton;
class w_base;

class launcher_window : public QWidget {
  Q_OBJECT
 public:
  explicit launcher_window(const std::string& database_url, QWidget* parent = nullptr);

  // The windows the launcher offers without a parameter, by class name.
  static const std::vector<std::string>& list_windows();
  // The title a window gives itself when it is made; the class name when it is not available.
  static std::string window_caption(const std::string& class_name);

  // Opens a window by class name; a non-modal window stays open and is closed with the launcher.
  void open_class(const std::string& class_name, double parm = 0);
  // Opens w_choose_member with the search text and shows the memberid it hands back.
  void choose_member();

  QLineEdit* sle_search = nullptr;
  QLabel* st_chosen = nullptr;
  QLineEdit* sle_memberid = nullptr;
  QLabel* st_status = nullptr;

 protected:
  void closeEvent(QCloseEvent* e) override;

 private:
  QPushButton* make_button(const std::string& class_name);
  QLabel* make_class_label(const std::string& class_name);
  void open_with_memberid(const std::string& class_name);
  std::vector<QPointer<w_base>> open_;
};
