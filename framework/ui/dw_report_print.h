#pragma once
// Printing a list: the report title, the date of printing, the page number, the grid's headers
// and every shown row, page after page, on a printer or into a PDF file. Columns are laid out
// by report_layout.h: every value whole or, for a long text, ending in "…"; a list wider than
// the page goes on over further pages, its rows in the same places on each.

#include <QPageLayout>
#include <functional>
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

// How far a report is: laying out (rows measured of rows) or painting (pages of pages). Answers
// false to cancel.
enum class report_stage { laying_out, painting };
using report_progress = std::function<bool(report_stage, int64_t done, int64_t total)>;

struct report_outcome {
  bool painted = false;    // the whole report is on the device
  bool cancelled = false;  // the progress answered false
  int pages = 0;
};

// Paints the report onto a printer or PDF writer (new pages as needed). Not painted when the
// device cannot be painted on, or when cancelled (a printer's job is then aborted).
report_outcome paint_report(const u_wsk_dw& dw, const std::string& title, QPagedPaintDevice& device,
                            const report_progress& progress = {});
// Writes the report as a PDF file, whole or not at all (see whole_file.h): error says why it
// was not written, unless cancelled.
report_outcome write_pdf(const u_wsk_dw& dw, const std::string& title, const std::string& path,
                         std::string& error, const report_page& page = {},
                         const report_progress& progress = {});
