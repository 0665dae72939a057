#pragma once
// Printing a list: the report title, the date of printing, the grid's headers and every shown
// row, page after page, on a printer or into a PDF file.

#include <string>

class QPagedPaintDevice;
class u_wsk_dw;

// Paints the report onto a printer or PDF writer (new pages as needed); false when the device
// cannot be painted on.
bool paint_report(const u_wsk_dw& dw, const std::string& title, QPagedPaintDevice& device);
bool write_pdf(const u_wsk_dw& dw, const std::string& title, const std::string& path,
               std::string& error);
