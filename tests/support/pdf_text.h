#pragma once
// A PDF's text as a reader meets it, through poppler's pdftotext: pages of lines of words with
// their places, and the cells of a printed list read back by its column headers.

#include <map>
#include <string>
#include <vector>

struct pdf_word {
  double left = 0, top = 0;
  std::string text;
};
struct pdf_line {
  double top = 0;
  std::vector<pdf_word> words;  // left to right
};
using pdf_page = std::vector<pdf_line>;  // top to bottom

// The pages of the file; error says why there are none (pdftotext missing, a file it cannot read).
std::vector<pdf_page> read_pdf_text(const std::string& path, std::string& error);

// A printed list's rows, read by their headers: on each page the line holding first_header
// names the columns, and each word of the lines below belongs to the column whose header starts
// at or to the left of it. Rows are keyed by their key_header cell, and a row's cells on later
// pages (the list's further columns) join those of the first.
using printed_row = std::map<std::string, std::string>;  // header -> cell text
std::map<std::string, printed_row> printed_rows(const std::vector<pdf_page>& pages,
                                                const std::string& first_header,
                                                const std::string& key_header);
