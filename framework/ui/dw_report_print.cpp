#include "framework/ui/dw_report_print.h"

#include <QPainter>
#include <QPdfWriter>
#include <algorithm>

#include "framework/runtime/runtime.h"
#include "framework/ui/dw_export.h"
#include "framework/ui/module_font.h"
#include "framework/ui/u_wsk_dw.h"
#include "framework/ui/units.h"
#include "framework/ui/whole_file.h"

bool paint_report(const u_wsk_dw& dw, const std::string& title, QPagedPaintDevice& device) {
  QPainter p;
  if (!p.begin(&device)) return false;
  const auto& cols = dw.dv().definition().columns;
  const std::vector<int> shown = shown_columns(dw);

  // Column widths as on screen, scaled down together when they do not fit the page.
  const QRect page = p.viewport();
  const double px_per_screen_px = device.logicalDpiX() / 96.0;
  std::vector<double> widths;
  double total = 0;
  for (int c : shown) {
    const int w = cols[size_t(c)].width > 0 ? units_to_px_x(cols[size_t(c)].width) : 80;
    widths.push_back(w * px_per_screen_px);
    total += widths.back();
  }
  const double scale = total > page.width() ? page.width() / total : 1.0;
  for (double& w : widths) w *= scale;

  QFont body = module_font();
  QFont head = body;
  head.setBold(true);
  QFont big = body;
  big.setPointSize(14);
  p.setFont(body);
  const int line = p.fontMetrics().height() * 3 / 2;
  const double pad = p.fontMetrics().averageCharWidth();  // space on each side of a cell

  datetime printed = runtime::now();
  const QString date_line = QString::fromUtf8("打印日期：") + QString::fromStdString(printed.to_string());
  int page_no = 0;
  int y = 0;
  auto start_page = [&] {
    if (page_no++ > 0) device.newPage();
    y = 0;
    p.setFont(big);
    p.drawText(QRect(0, y, page.width(), line * 2), Qt::AlignHCenter | Qt::AlignVCenter,
               QString::fromStdString(title));
    y += line * 2;
    p.setFont(body);
    p.drawText(QRect(0, y, page.width(), line), Qt::AlignLeft | Qt::AlignVCenter, date_line);
    p.drawText(QRect(0, y, page.width(), line), Qt::AlignRight | Qt::AlignVCenter,
               QString::fromUtf8("第 %1 页").arg(page_no));
    y += line;
    p.setFont(head);
    double x = 0;
    for (size_t i = 0; i < shown.size(); ++i) {
      QString h = QString::fromStdString(cols[size_t(shown[i])].header);
      h.remove('\r');
      h = h.trimmed();
      p.drawText(QRectF(x + pad, y, widths[i] - 2 * pad, line), Qt::AlignLeft | Qt::AlignVCenter, h);
      x += widths[i];
    }
    y += line;
    p.drawLine(0, y, int(x), y);
    p.setFont(body);
  };

  start_page();
  for (int64_t r = 1; r <= dw.rowcount(); ++r) {
    if (y + line > page.height()) start_page();
    double x = 0;
    for (size_t i = 0; i < shown.size(); ++i) {
      const dv_column& c = cols[size_t(shown[i])];
      QString text;
      if (c.style == edit_style::checkbox)
        text = dw.dv().getitem(r, shown[i]).to_text() == c.checkbox_on ? "√" : "";
      else
        text = QString::fromStdString(dw.display_text(r, shown[i]));
      const bool number = c.type == col_type::long_t || c.type == col_type::decimal_t;
      p.drawText(QRectF(x + pad, y, widths[i] - 2 * pad, line),
                 (number && c.style == edit_style::edit ? Qt::AlignRight : Qt::AlignLeft) |
                     Qt::AlignVCenter,
                 text);
      x += widths[i];
    }
    y += line;
  }
  p.end();
  return true;
}

bool write_pdf(const u_wsk_dw& dw, const std::string& title, const std::string& path,
               std::string& error, const report_page& page) {
  return write_whole_file(
      path,
      [&](QIODevice& out) {
        QPdfWriter pdf(&out);
        pdf.setTitle(QString::fromStdString(title));
        pdf.setResolution(page.resolution);
        pdf.setPageLayout(page.layout);
        return paint_report(dw, title, pdf);
      },
      error);
}
