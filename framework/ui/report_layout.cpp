#include "framework/ui/report_layout.h"

#include <algorithm>

#include "framework/ui/dw_export.h"
#include "framework/ui/u_wsk_dw.h"
#include "framework/ui/units.h"

namespace {

// Texts of at most this many bytes are codes, numbers and short words (会员号, 身份证, phone
// numbers): they print whole. Longer texts (names, addresses, notes) may be shortened.
constexpr int longest_code_bytes = 20;

bool is_number(const dv_column& c) {
  return c.type == col_type::long_t || c.type == col_type::decimal_t;
}

bool prints_whole(const dv_column& c) {
  return c.type != col_type::string_t || c.style != edit_style::edit ||
         (c.length > 0 && c.length <= longest_code_bytes);
}

// Shown columns that repeat at the left of every band: those up to the first key column (the
// row number and the id), or the row number alone when no key column shows.
size_t repeated_columns(const u_wsk_dw& dw, const std::vector<int>& shown) {
  const auto& cols = dw.dv().definition().columns;
  for (size_t i = 0; i < shown.size(); ++i)
    if (cols[size_t(shown[i])].key) return i + 1;
  return !shown.empty() && cols[size_t(shown[0])].expression == "getrow()" ? 1 : 0;
}

}  // namespace

text_widths::text_widths(const QFont& font, QPaintDevice* device)
    : fm_(font, device), advance_(0x10000, -1.0f) {}

double text_widths::of(const QString& text) {
  double w = 0;
  for (QChar ch : text) {
    float& a = advance_[ch.unicode()];
    if (a < 0) a = float(fm_.horizontalAdvance(ch));
    w += a;
  }
  return w;
}

QString report_cell_text(const u_wsk_dw& dw, int64_t row, int column) {
  const dv_column& c = dw.dv().definition().columns[size_t(column)];
  if (c.style == edit_style::checkbox)
    return dw.dv().getitem(row, column).to_text() == c.checkbox_on ? QString::fromUtf8("√") : QString();
  QString text = QString::fromStdString(dw.display_text(row, column));
  // A cell prints on one line.
  for (QChar& ch : text)
    if (ch == '\r' || ch == '\n' || ch == '\t') ch = ' ';
  return text;
}

std::optional<report_layout> lay_out_report(
    const u_wsk_dw& dw, text_widths& body, text_widths& head, double page_width,
    const std::function<bool(int64_t, int64_t)>& progress) {
  const auto& cols = dw.dv().definition().columns;
  const std::vector<int> shown = shown_columns(dw);
  report_layout out;
  out.pad = body.metrics().averageCharWidth();

  // The widest value of each column, over every row.
  std::vector<double> widest(shown.size(), 0);
  const int64_t rows = dw.rowcount();
  for (int64_t r = 1; r <= rows; ++r) {
    if ((r & 1023) == 0 && progress && !progress(r, rows)) return std::nullopt;
    for (size_t i = 0; i < shown.size(); ++i)
      widest[i] = std::max(widest[i], body.of(report_cell_text(dw, r, shown[i])));
  }

  // A text is held to its width on screen, or a quarter of the page when that is wider.
  const double device_per_screen_px = body.metrics().fontDpi() / 96.0;
  for (size_t i = 0; i < shown.size(); ++i) {
    const dv_column& c = cols[size_t(shown[i])];
    QString header = QString::fromStdString(c.header).remove('\r').simplified();
    report_column rc{shown[i], widest[i], prints_whole(c), is_number(c) && c.style == edit_style::edit};
    if (!rc.whole) {
      const double screen = (c.width > 0 ? units_to_px_x(c.width) : 80) * device_per_screen_px;
      rc.width = std::min(rc.width, std::max(screen, page_width / 4));
    }
    rc.width = std::max(rc.width, head.of(header)) + 2 * out.pad;
    out.columns.push_back(rc);
  }

  // Bands across: the repeated columns, then as many of the others as the page holds. Repeated
  // columns that would take over a third of the page are not repeated.
  size_t repeat = repeated_columns(dw, shown);
  double repeat_width = 0;
  for (size_t i = 0; i < repeat; ++i) repeat_width += out.columns[i].width;
  if (repeat_width > page_width / 3) repeat = 0, repeat_width = 0;
  std::vector<int> band;
  double used = 0;
  auto start_band = [&] {
    band.clear();
    for (size_t i = 0; i < repeat; ++i) band.push_back(int(i));
    used = repeat_width;
  };
  start_band();
  for (size_t i = repeat; i < out.columns.size(); ++i) {
    report_column& rc = out.columns[i];
    // Nothing is wider than a page beside the repeated columns (only a text can come near).
    rc.width = std::min(rc.width, page_width - repeat_width);
    if (band.size() > repeat && used + rc.width > page_width) {
      out.bands.push_back(band);
      start_band();
    }
    band.push_back(int(i));
    used += rc.width;
  }
  if (band.size() > repeat || out.bands.empty()) out.bands.push_back(band);
  return out;
}
