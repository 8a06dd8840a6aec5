#pragma once

#include "monitor/entry_column.h"

#include <QTableWidget>
#include <string>
#include <string_view>

namespace sornel {

// The list of monitor entries in the main window, and the program's only store of them: rows
// of eight GBK cells, addressed by position. Reads outside the list give the empty text and
// writes and deletions outside it are ignored. It belongs to the user-interface thread.
class EntryList : public QTableWidget {
    Q_OBJECT

public:
    explicit EntryList(QWidget* parent = nullptr);

    // Adds a row of eight empty cells at the end; returns its index.
    int appendRow();
    void setCellText(int row, int column, std::string_view gbk);
    std::string cellText(int row, int column) const;
    void deleteRow(int row);
    // The selected row, or -1.
    int selectedRow() const;

private:
    bool exists(int row, int column) const;
};

// The command behind "删除": deletes the selected row, if any. Nothing else.
void deleteSelectedEntry(EntryList& list);

} // namespace sornel
