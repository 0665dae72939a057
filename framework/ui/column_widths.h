#pragma once
// Column widths that the user drags in a grid, remembered per window on this terminal (QSettings,
// user scope, "member-module/columns") and restored when the window opens again. Columns the
// user never dragged keep their declared widths.

#include <QString>
#include <string>
#include <vector>

class QTableView;

// Restores the grid's remembered widths and remembers every width the user drags from now on.
// key names the window and the data view it shows; columns are the grid's column names.
void remember_column_widths(QTableView* grid, const QString& key,
                            const std::vector<std::string>& columns);
