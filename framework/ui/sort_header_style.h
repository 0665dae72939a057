#pragma once
// Header look of grids sorted by a click: the sort arrow sits in a strip above the header text,
// so it never covers a text however narrow the column ("序号"). Every section keeps its text
// where it is, sorted or not.

class QHeaderView;

// Gives the header that look (the header owns the style).
void use_sort_header_style(QHeaderView* header);
