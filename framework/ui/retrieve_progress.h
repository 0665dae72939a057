#pragma once
// Progress of a long retrieval: after half a second a modal progress dialog shows the rows read
// so far and offers to cancel. Hand progress() to data_view::retrieve.

#include <QElapsedTimer>
#include <QPointer>
#include <cstdint>
#include <memory>

class QProgressDialog;
class QWidget;

class retrieve_progress {
 public:
  explicit retrieve_progress(QWidget* parent);
  ~retrieve_progress();
  bool progress(int64_t rows);  // false: the user cancelled

 private:
  QWidget* parent_;
  QElapsedTimer clock_;
  std::unique_ptr<QProgressDialog> dialog_;
};
