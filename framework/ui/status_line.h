#pragma once
// The status line at the foot of list and report windows: on the right the rows shown (and the
// rows a filter holds back), on the left what the last action achieved, until the next action.
// Failures are not shown here: they have their message boxes.

#include <QStatusBar>

class QLabel;
class u_wsk_dw;

class status_line : public QStatusBar {
  Q_OBJECT
 public:
  explicit status_line(QWidget* parent = nullptr);

  // Follows the control: its row counts, its long retrievals and its saves.
  void watch(u_wsk_dw* dw);

  // Outcomes the windows report themselves (saves and long reads come from the control).
  void show_nothing_to_save();
  void show_exported(qint64 rows, const QString& path);
  // A report on paper or in a file: what it is, how many pages, where it went ("已写入 PDF 文件 …").
  void show_report(const QString& title, int pages, const QString& where);
  // A note of the window's own about what it shows (e.g. a setting it read is missing).
  void show_note(const QString& text);
  void clear_outcome();

  QString rows_text() const;
  QString outcome_text() const;

 private:
  void show_rows();
  void show_outcome(const QString& text);
  u_wsk_dw* dw_ = nullptr;
  QLabel* outcome_ = nullptr;
  QLabel* rows_ = nullptr;
};
