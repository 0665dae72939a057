#include "framework/ui/sort_header_style.h"

#include <QHeaderView>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleOptionHeader>

namespace {

constexpr int arrow_strip = 6;  // pixels above the text that hold the arrow

class sort_header_style : public QProxyStyle {
 public:
  void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                   const QWidget* widget) const override {
    const auto* header = qstyleoption_cast<const QStyleOptionHeader*>(option);
    if (element != CE_Header || !header) {
      QProxyStyle::drawControl(element, option, painter, widget);
      return;
    }
    QStyleOptionHeader plain(*header);
    plain.sortIndicator = QStyleOptionHeader::None;
    drawControl(CE_HeaderSection, &plain, painter, widget);
    QStyleOptionHeader label(plain);
    label.rect = subElementRect(SE_HeaderLabel, &plain, widget).adjusted(0, arrow_strip, 0, 0);
    if (label.rect.isValid()) drawControl(CE_HeaderLabel, &label, painter, widget);
    if (header->sortIndicator != QStyleOptionHeader::None) {
      QStyleOptionHeader arrow(*header);
      const QRect r = header->rect;
      arrow.rect = QRect(r.center().x() - arrow_strip, r.top() + 1, 2 * arrow_strip, arrow_strip);
      drawPrimitive(PE_IndicatorHeaderArrow, &arrow, painter, widget);
    }
  }

  QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                         const QWidget* widget) const override {
    QSize s = QProxyStyle::sizeFromContents(type, option, size, widget);
    if (type == CT_HeaderSection) s.rheight() += arrow_strip;
    return s;
  }
};

}  // namespace

void use_sort_header_style(QHeaderView* header) {
  if (dynamic_cast<sort_header_style*>(header->style())) return;
  auto* style = new sort_header_style;
  style->setParent(header);
  header->setStyle(style);
}
