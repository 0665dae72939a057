#include "framework/ui/dw_report_print.h"

#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <algorithm>

#include "framework/runtime/runtime.h"
#include "framework/ui/module_font.h"
#include "framework/ui/report_layout.h"
#include "framework/ui/u_wsk_dw.h"
#include "framework/ui/whole_file.h"

report_outcome paint_report(const u_wsk_dw& dw, const std::string& title, QPagedPaintDevice& device,
                            const report_progress& progress) {
  report_outcome out;
  QPainter p;
  if (!p.begin(&device)) return out;
  const auto& cols = dw.dv().definition().columns;
  const QRect page = p.viewport();

  QFont body = module_font();
  QFont head = body;
  head.setBold(true);
  QFont big = body;
  big.setPointSize(14);
  text_widths body_widths(body, &device), head_widths(head, &device);
  auto cancel = [&] {
    if (auto* printer = dynamic_cast<QPrinter*>(&device)) printer->abort();
    p.end();
    out.cancelled = true;
    return out;
  };
  const auto layout = lay_out_report(dw, body_widths, head_widths, page.width(),
                                     [&](int64_t done, int64_t total) {
                                       return !progress || progress(report_stage::laying_out, done, total);
                                     });
  if (!layout) return cancel();

  const QFontMetricsF& fm = body_widths.metrics();
  const double line = fm.height() * 1.5;
  const double baseline = (line - fm.height()) / 2 + fm.ascent();  // of a line's text, from its top
  const double top_lines = 2 + 1 + 1;                              // title, date, headers
  const int64_t rows = dw.rowcount();
  const int64_t per_page = std::max<int64_t>(1, int64_t(page.height() / line - top_lines));
  const int64_t blocks = std::max<int64_t>(1, (rows + per_page - 1) / per_page);
  const int bands = int(layout->bands.size());
  const int64_t pages = blocks * bands;

  const QString date_line =
      QString::fromUtf8("打印日期：") + QString::fromStdString(runtime::now().to_string());
  // Pages go across first: the bands of a block of rows follow each other, as the same sheet.
  for (int64_t block = 0; block < blocks; ++block) {
    for (int band = 0; band < bands; ++band) {
      if (progress && !progress(report_stage::painting, out.pages, pages)) return cancel();
      if (out.pages++ > 0) device.newPage();
      double y = 0;
      p.setFont(big);
      p.drawText(QRectF(0, y, page.width(), line * 2), Qt::AlignHCenter | Qt::AlignVCenter,
                 QString::fromStdString(title));
      y += line * 2;
      p.setFont(body);
      QString page_no = QString::fromUtf8("第 %1 页，共 %2 页").arg(out.pages).arg(pages);
      if (bands > 1) page_no += QString::fromUtf8("（第 %1 栏，共 %2 栏）").arg(band + 1).arg(bands);
      p.drawText(QRectF(0, y, page.width(), line), Qt::AlignLeft | Qt::AlignVCenter, date_line);
      p.drawText(QRectF(0, y, page.width(), line), Qt::AlignRight | Qt::AlignVCenter, page_no);
      y += line;

      const std::vector<int>& band_cols = layout->bands[size_t(band)];
      p.setFont(head);
      double x = 0;
      for (int i : band_cols) {
        const report_column& rc = layout->columns[size_t(i)];
        p.drawText(QPointF(x + layout->pad, y + baseline),
                   QString::fromStdString(cols[size_t(rc.column)].header).remove('\r').simplified());
        x += rc.width;
      }
      y += line;
      p.drawLine(QPointF(0, y), QPointF(x, y));

      p.setFont(body);
      const int64_t last = std::min(rows, (block + 1) * per_page);
      for (int64_t r = block * per_page + 1; r <= last; ++r, y += line) {
        x = 0;
        for (int i : band_cols) {
          const report_column& rc = layout->columns[size_t(i)];
          QString text = report_cell_text(dw, r, rc.column);
          const double room = rc.width - 2 * layout->pad;
          double w = body_widths.of(text);
          if (w > room && !rc.whole) {
            text = fm.elidedText(text, Qt::ElideRight, room);
            w = fm.horizontalAdvance(text);
          }
          p.drawText(QPointF(rc.right ? x + rc.width - layout->pad - w : x + layout->pad, y + baseline),
                     text);
          x += rc.width;
        }
      }
    }
  }
  out.painted = p.end();
  return out;
}

report_outcome write_pdf(const u_wsk_dw& dw, const std::string& title, const std::string& path,
                         std::string& error, const report_page& page,
                         const report_progress& progress) {
  report_outcome out;
  const bool written = write_whole_file(
      path,
      [&](QIODevice& file) {
        QPdfWriter pdf(&file);
        pdf.setTitle(QString::fromStdString(title));
        pdf.setResolution(page.resolution);
        pdf.setPageLayout(page.layout);
        out = paint_report(dw, title, pdf, progress);
        return out.painted;
      },
      error);
  out.painted = written;
  return out;
}
