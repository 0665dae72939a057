#include "framework/ui/cut_text_tips.h"

#include <QHeaderView>
#include <QHelpEvent>
#include <QStyle>
#include <QTableView>
#include <QToolTip>

namespace {

// Answers the tooltip events of the grid's viewport and of its header's viewport.
class cut_text_filter : public QObject {
 public:
  explicit cut_text_filter(QTableView* grid) : QObject(grid), grid_(grid) {}

 protected:
  bool eventFilter(QObject* target, QEvent* e) override {
    if (e->type() != QEvent::ToolTip) return false;
    auto* help = static_cast<QHelpEvent*>(e);
    QHeaderView* header = grid_->horizontalHeader();
    QString text;
    QRect rect;
    if (target == header->viewport()) {
      const int section = header->logicalIndexAt(help->pos());
      if (section >= 0) {
        text = grid_->model()->headerData(section, Qt::Horizontal).toString();
        rect = QRect(header->sectionViewportPosition(section), 0, header->sectionSize(section),
                     header->height());
        const int margin = header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
        if (!cut(header->fontMetrics(), text, rect.width() - 2 * margin)) text.clear();
      }
    } else {
      const QModelIndex index = grid_->indexAt(help->pos());
      if (index.isValid()) {
        text = index.data(Qt::DisplayRole).toString();
        rect = grid_->visualRect(index);
        // The item delegate keeps this margin on either side of a cell's text.
        const int margin =
            grid_->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, grid_) + 1;
        if (!cut(grid_->fontMetrics(), text, rect.width() - 2 * margin)) text.clear();
      }
    }
    auto* viewport = static_cast<QWidget*>(target);
    if (text.isEmpty()) QToolTip::hideText();
    else QToolTip::showText(help->globalPos(), text, viewport, rect);
    return true;
  }

 private:
  static bool cut(const QFontMetrics& fm, const QString& text, int room) {
    return !text.isEmpty() && fm.horizontalAdvance(text) > room;
  }
  QTableView* grid_;
};

}  // namespace

void install_cut_text_tips(QTableView* grid) {
  auto* filter = new cut_text_filter(grid);
  grid->viewport()->installEventFilter(filter);
  grid->horizontalHeader()->viewport()->installEventFilter(filter);
}
