#pragma once
// Export of a data view control's shown rows as a CSV file: UTF-8 with a byte order mark (so
// spreadsheet programs read the Chinese texts), the grid's headers, then each row as displayed.
// The file is written whole or not at all (see whole_file.h).

#include <string>
#include <vector>

class u_wsk_dw;

// True when the file was written; otherwise error says why.
bool export_csv(const u_wsk_dw& dw, const std::string& path, std::string& error);
// Visible columns in display order (what export and print show).
std::vector<int> shown_columns(const u_wsk_dw& dw);
