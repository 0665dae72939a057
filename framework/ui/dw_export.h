#pragma once
// Export of a data view control's shown rows as a CSV file: UTF-8 with a byte order mark (so
// spreadsheet programs read the Chinese texts), the grid's headers, then each row as displayed.
// The file is written whole or not at all (see whole_file.h).

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class u_wsk_dw;

// True when the file was written; otherwise error says why. progress(rows written, rows) is
// called now and then; answering false cancels, and no file is left.
bool export_csv(const u_wsk_dw& dw, const std::string& path, std::string& error,
                const std::function<bool(int64_t, int64_t)>& progress = {});
// Visible columns in display order (what export and print show).
std::vector<int> shown_columns(const u_wsk_dw& dw);
