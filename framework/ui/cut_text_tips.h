#pragma once
// Tooltips for texts a grid cuts: resting the mouse on a cell or header section whose text is
// wider than its column shows the whole text. Column widths stay as they are.

class QTableView;

// Installs the tooltips on the grid's cells and header (the grid owns them).
void install_cut_text_tips(QTableView* grid);
