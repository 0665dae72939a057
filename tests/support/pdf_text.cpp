#include "support/pdf_text.h"

#include <QProcess>
#include <QStringList>
#include <algorithm>
#include <cmath>
#include <sstream>

std::vector<pdf_page> read_pdf_text(const std::string& path, std::string& error) {
  QProcess tool;
  tool.start("pdftotext", {"-tsv", QString::fromStdString(path), "-"});
  if (!tool.waitForFinished(120000) || tool.exitStatus() != QProcess::NormalExit ||
      tool.exitCode() != 0) {
    error = "pdftotext " + path + ": " + tool.errorString().toStdString() + " " +
            tool.readAllStandardError().toStdString();
    return {};
  }
  // level page par block line word left top width height conf text; level 5 is a word.
  std::vector<pdf_page> pages;
  std::istringstream in(tool.readAllStandardOutput().toStdString());
  std::string row;
  std::getline(in, row);  // the header
  while (std::getline(in, row)) {
    std::vector<std::string> f;
    std::istringstream fields(row);
    for (std::string s; std::getline(fields, s, '\t');) f.push_back(s);
    if (f.size() < 12 || f[0] != "5") continue;
    const size_t page = size_t(std::stoi(f[1]));
    if (pages.size() < page) pages.resize(page);
    const pdf_word w{std::stod(f[6]), std::stod(f[7]), f[11]};
    pdf_page& p = pages[page - 1];
    // Words of one printed line share their top, whatever order the file keeps them in.
    auto line = std::find_if(p.begin(), p.end(),
                             [&](const pdf_line& l) { return std::abs(l.top - w.top) < 1.0; });
    if (line == p.end()) line = p.insert(p.end(), pdf_line{w.top, {}});
    line->words.push_back(w);
  }
  for (pdf_page& p : pages) {
    std::sort(p.begin(), p.end(), [](const pdf_line& a, const pdf_line& b) { return a.top < b.top; });
    for (pdf_line& l : p)
      std::sort(l.words.begin(), l.words.end(),
                [](const pdf_word& a, const pdf_word& b) { return a.left < b.left; });
  }
  return pages;
}

std::map<std::string, printed_row> printed_rows(const std::vector<pdf_page>& pages,
                                                const std::string& first_header,
                                                const std::string& key_header) {
  std::map<std::string, printed_row> rows;
  for (const pdf_page& page : pages) {
    auto head = std::find_if(page.begin(), page.end(), [&](const pdf_line& l) {
      return !l.words.empty() && l.words[0].text == first_header;
    });
    if (head == page.end()) continue;
    for (auto line = head + 1; line != page.end(); ++line) {
      printed_row cells;
      for (const pdf_word& w : line->words) {
        const pdf_word* column = nullptr;
        for (const pdf_word& h : head->words)
          if (h.left <= w.left + 0.5) column = &h;
        if (!column) continue;
        std::string& cell = cells[column->text];
        cell += (cell.empty() ? "" : " ") + w.text;
      }
      if (cells.count(key_header)) rows[cells[key_header]].merge(cells);
    }
  }
  return rows;
}
