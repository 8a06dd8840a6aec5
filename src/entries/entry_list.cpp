#include "entries/entry_list.h"

#include "monitor/gbk_codec.h"

#include <QHeaderView>
#include <array>

namespace sornel {

namespace {

constexpr int kGbkRole = Qt::UserRole;

struct ColumnLook {
    const char* header;
    int width;
};

constexpr std::array<ColumnLook, kEntryColumnCount> kColumns = {{
    {"序号", 36},
    {"监控状态", 60},
    {"监控网页地址", 200},
    {"关键词", 120},
    {"声音报警", 60},
    {"刷新频率", 60},
    {"监控方式", 60},
    {"发现", 36},
}};

Qt::Alignment alignmentOf(int column)
{
    return column == 0 ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignCenter;
}

} // namespace

EntryList::EntryList(QWidget* parent) : QTableWidget(0, kEntryColumnCount, parent)
{
    setObjectName("entryList");
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setShowGrid(true);
    setWordWrap(false);
    setSortingEnabled(false);
    setTabKeyNavigation(false);
    setFrameShape(QFrame::StyledPanel);
    setFrameShadow(QFrame::Sunken);
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    verticalHeader()->setMinimumSectionSize(fontMetrics().height());

    QHeaderView* header = horizontalHeader();
    header->setSectionsMovable(true);
    header->setSectionsClickable(true);
    header->setHighlightSections(false);
    header->setSortIndicatorShown(false);
    header->setStretchLastSection(false);
    header->setMinimumSectionSize(8); // the narrow columns are narrower than Qt's default minimum
    // A click on a header does nothing: no sorting, and no selecting of a column.
    disconnect(header, &QHeaderView::sectionPressed, this, nullptr);
    disconnect(header, &QHeaderView::sectionEntered, this, nullptr);
    for (int c = 0; c < kEntryColumnCount; ++c) {
        auto* item =
            new QTableWidgetItem(QString::fromUtf8(kColumns[static_cast<std::size_t>(c)].header));
        item->setTextAlignment(alignmentOf(c));
        setHorizontalHeaderItem(c, item);
        setColumnWidth(c, kColumns[static_cast<std::size_t>(c)].width);
    }

    // Black on white; the selected row shows only while the list has the focus.
    QPalette colours = palette();
    colours.setColor(QPalette::Base, Qt::white);
    colours.setColor(QPalette::Text, Qt::black);
    colours.setColor(QPalette::Inactive, QPalette::Highlight, Qt::white);
    colours.setColor(QPalette::Inactive, QPalette::HighlightedText, Qt::black);
    setPalette(colours);
}

int EntryList::appendRow()
{
    const int row = rowCount();
    insertRow(row);
    for (int c = 0; c < kEntryColumnCount; ++c) {
        auto* item = new QTableWidgetItem();
        item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
        item->setTextAlignment(alignmentOf(c));
        item->setData(kGbkRole, QByteArray());
        setItem(row, c, item);
    }
    return row;
}

bool EntryList::exists(int row, int column) const
{
    return row >= 0 && row < rowCount() && column >= 0 && column < kEntryColumnCount;
}

void EntryList::setCellText(int row, int column, std::string_view gbk)
{
    if (!exists(row, column)) {
        return;
    }
    QTableWidgetItem* cell = item(row, column);
    cell->setData(kGbkRole, QByteArray(gbk.data(), static_cast<qsizetype>(gbk.size())));
    cell->setText(QString::fromStdU16String(GbkCodec::toUtf16(gbk)));
}

std::string EntryList::cellText(int row, int column) const
{
    if (!exists(row, column)) {
        return {};
    }
    return item(row, column)->data(kGbkRole).toByteArray().toStdString();
}

void EntryList::deleteRow(int row)
{
    if (row < 0 || row >= rowCount()) {
        return;
    }
    const bool wasSelected = selectedRow() == row;
    removeRow(row);
    // The view moves its current index to a neighbour of a removed row; that must not leave
    // the neighbour selected in place of the deleted row.
    if (wasSelected) {
        selectionModel()->clearSelection();
        selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
    }
}

int EntryList::selectedRow() const
{
    const QModelIndexList rows = selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.front().row();
}

void deleteSelectedEntry(EntryList& list)
{
    list.deleteRow(list.selectedRow());
}

} // namespace sornel
