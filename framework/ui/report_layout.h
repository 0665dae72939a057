#pragma once
// How a list goes onto paper. Each column is as wide as its header and its widest value, so that
// numbers, codes, dates and times print whole; only free texts are held to a width and end in
// "…". A list wider than the page continues on further pages (column bands, as spreadsheet
// programs print them), each band repeating the key columns at its left.

#include <QFontMetricsF>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

class u_wsk_dw;

// Widths of texts in one font on one device, summed from each character's advance (kept once
// measured): a whole register is measured in a fraction of the time the text layout takes.
class text_widths {
 public:
  text_widths(const QFont& font, QPaintDevice* device);
  double of(const QString& text);
  const QFontMetricsF& metrics() const { return fm_; }

 private:
  QFontMetricsF fm_;
  std::vector<float> advance_;  // by UTF-16 unit; below 0 until measured
};

struct report_column {
  int column = 0;      // in the data view
  double width = 0;    // device pixels, padding on both sides included
  bool whole = false;  // never shortened: numbers, codes, dates, check marks
  bool right = false;  // numbers stand at the right
};

struct report_layout {
  std::vector<report_column> columns;  // shown columns, in display order
  std::vector<std::vector<int>> bands;  // the columns of each page across (indexes into columns)
  double pad = 0;                       // space left and right of a cell's text
};

// The text a cell prints: the shown text on one line; a check box as "√" or nothing.
QString report_cell_text(const u_wsk_dw& dw, int64_t row, int column);

// Lays the shown columns out for pages page_width wide (device pixels). It measures every row:
// progress(rows measured, rows) is called now and then, and answering false cancels (nullopt).
std::optional<report_layout> lay_out_report(
    const u_wsk_dw& dw, text_widths& body, text_widths& head, double page_width,
    const std::function<bool(int64_t, int64_t)>& progress);
