#include "framework/ui/column_widths.h"

#include <QEvent>
#include <QHeaderView>
#include <QSettings>
#include <QTableView>
#include <map>

namespace {

// A width changes by the user's hand only while a mouse button is down on the header (dragging
// a section's edge, or double-clicking it to fit the contents).
class width_keeper : public QObject {
 public:
  width_keeper(QTableView* grid, QString group, std::vector<std::string> columns)
      : QObject(grid), group_(std::move(group)), columns_(std::move(columns)) {}

  void restore(QTableView* grid) {
    QSettings s = settings();
    s.beginGroup(group_);
    for (size_t c = 0; c < columns_.size(); ++c) {
      const int width = s.value(QString::fromStdString(columns_[c]), 0).toInt();
      if (width > 0 && !grid->isColumnHidden(int(c))) grid->setColumnWidth(int(c), width);
    }
  }

  void resized(int column, int width) {
    if (by_user_ && width > 0 && column >= 0 && size_t(column) < columns_.size())
      dragged_[column] = width;
  }

 protected:
  bool eventFilter(QObject*, QEvent* e) override {
    switch (e->type()) {
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonDblClick: by_user_ = true; break;
      case QEvent::MouseButtonRelease:
        by_user_ = false;
        store();
        break;
      default: break;
    }
    return false;
  }

 private:
  // Written once the mouse button is up, not at every step of a drag.
  void store() {
    if (dragged_.empty()) return;
    QSettings s = settings();
    s.beginGroup(group_);
    for (const auto& [column, width] : dragged_)
      s.setValue(QString::fromStdString(columns_[size_t(column)]), width);
    dragged_.clear();
  }
  static QSettings settings() {
    return QSettings(QSettings::IniFormat, QSettings::UserScope, "member-module", "columns");
  }

  QString group_;
  std::vector<std::string> columns_;
  std::map<int, int> dragged_;  // column -> width
  bool by_user_ = false;
};

}  // namespace

void remember_column_widths(QTableView* grid, const QString& key,
                            const std::vector<std::string>& columns) {
  auto* keeper = new width_keeper(grid, key, columns);
  keeper->restore(grid);
  QHeaderView* header = grid->horizontalHeader();
  header->viewport()->installEventFilter(keeper);
  QObject::connect(header, &QHeaderView::sectionResized, keeper,
                   [keeper](int column, int, int width) { keeper->resized(column, width); });
}
