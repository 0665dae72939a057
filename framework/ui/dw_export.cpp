#include "framework/ui/dw_export.h"

#include <QIODevice>

#include "framework/ui/u_wsk_dw.h"
#include "framework/ui/whole_file.h"

namespace {

std::string csv_field(std::string s) {
  if (s.find_first_of(",\"\r\n") == std::string::npos) return s;
  std::string out = "\"";
  for (char c : s) {
    if (c == '"') out += '"';
    out += c;
  }
  return out + '"';
}

std::string one_line(std::string s) {
  std::erase(s, '\r');
  while (!s.empty() && s.back() == '\n') s.pop_back();
  return s;
}

}  // namespace

std::vector<int> shown_columns(const u_wsk_dw& dw) {
  std::vector<int> out;
  const auto& cols = dw.dv().definition().columns;
  for (int c = 0; c < int(cols.size()); ++c)
    if (cols[size_t(c)].visible) out.push_back(c);
  return out;
}

bool export_csv(const u_wsk_dw& dw, const std::string& path, std::string& error,
                const std::function<bool(int64_t, int64_t)>& progress) {
  return write_whole_file(
      path,
      [&](QIODevice& out) {
        auto put = [&out](const std::string& s) {
          return out.write(s.data(), qint64(s.size())) == qint64(s.size());
        };
        const auto& cols = dw.dv().definition().columns;
        const std::vector<int> shown = shown_columns(dw);
        std::string line = "\xEF\xBB\xBF";
        for (size_t i = 0; i < shown.size(); ++i)
          line += (i ? "," : "") + csv_field(one_line(cols[size_t(shown[i])].header));
        if (!put(line + "\r\n")) return false;
        const int64_t rows = dw.rowcount();
        for (int64_t r = 1; r <= rows; ++r) {
          if ((r & 255) == 0 && progress && !progress(r, rows)) return false;
          line.clear();
          for (size_t i = 0; i < shown.size(); ++i) {
            const dv_column& c = cols[size_t(shown[i])];
            // A check box exports its stored value; everything else the text shown.
            const std::string text = c.style == edit_style::checkbox
                                         ? dw.dv().getitem(r, shown[i]).to_text()
                                         : dw.display_text(r, shown[i]);
            line += (i ? "," : "") + csv_field(text);
          }
          if (!put(line + "\r\n")) return false;
        }
        return true;
      },
      error);
}
