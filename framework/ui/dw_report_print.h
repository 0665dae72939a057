#pragma once
// Printing a list: the report title, the date of printing, the grid's headers and every shown
// row, page after page, on a printer or into a PDF file.

#include <QPageLayout>
#include <string>

class QPagedPaintDevice;
class u_wsk_dw;

// The page a report is laid out on: A4 landscape, 10 mm margins, 300 dpi, unless a print dialog
// chose another.
struct report_page {
  QPageLayout layout{QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(10, 10, 10, 10),
                     QPageLayout::Millimeter};
  int resolution = 300;
};

// Paints the report onto a printer or PDF writer (new pages as needed); false when the device
// cannot be painted on.
bool paint_report(const u_wsk_dw& dw, const std::string& title, QPagedPaintDevice& device);
// Writes the report as a PDF file, whole or not at all (see whole_file.h); false with error set.
bool write_pdf(const u_wsk_dw& dw, const std::string& title, const std::string& path,
               std::string& error, const report_page& page = {});
