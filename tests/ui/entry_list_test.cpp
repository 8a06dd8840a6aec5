#include "entries/entry_list.h"
#include "ui_test_support.h"

#include <QHeaderView>
#include <QTest>
#include <gtest/gtest.h>

namespace sornel {
namespace {

using test::gbk;

// Adds a row the way the add form does: number, status, then the settings.
int addRow(EntryList& list, const std::string& address)
{
    const int row = list.appendRow();
    list.setCellText(row, 0, std::to_string(row + 1));
    list.setCellText(row, 1, gbk("停止"));
    list.setCellText(row, 2, address);
    list.setCellText(row, 3, gbk("价格|元"));
    list.setCellText(row, 7, gbk("否"));
    return row;
}

TEST(EntryListTest, RowsThatDoNotExist)
{
    EntryList list;
    for (int column = -1; column <= kEntryColumnCount; ++column) {
        EXPECT_EQ(list.cellText(0, column), "");
        EXPECT_EQ(list.cellText(-1, column), "");
    }
    EXPECT_EQ(list.selectedRow(), -1);
    addRow(list, "http://a/");
    list.setCellText(-1, 2, "x");
    list.setCellText(1, 2, "x");
    list.setCellText(0, 8, "x");
    list.setCellText(0, -1, "x");
    list.deleteRow(-1);
    list.deleteRow(1);
    ASSERT_EQ(list.rowCount(), 1);
    EXPECT_EQ(list.cellText(0, 2), "http://a/");
    EXPECT_EQ(list.cellText(1, 2), "");
    EXPECT_EQ(list.cellText(0, kEntryColumnCount), "");
}

TEST(EntryListTest, AppendReturnsTheNewIndexAndShowsTheTextDecoded)
{
    EntryList list;
    EXPECT_EQ(list.appendRow(), 0);
    EXPECT_EQ(list.appendRow(), 1);
    for (int c = 0; c < kEntryColumnCount; ++c) {
        EXPECT_EQ(list.cellText(1, c), "");
    }
    list.setCellText(1, 3, gbk("笔记本|九成新"));
    EXPECT_EQ(list.cellText(1, 3), gbk("笔记本|九成新"));
    EXPECT_EQ(list.item(1, 3)->text(), QStringLiteral("笔记本|九成新"));
    // Bytes that are not GBK come back exactly as they were written.
    list.setCellText(1, 2, "\xFF\x80\xB0");
    EXPECT_EQ(list.cellText(1, 2), "\xFF\x80\xB0");
}

TEST(EntryListTest, LongCellReadsBackWhole)
{
    EntryList list;
    addRow(list, "http://a/");
    std::string keywords;
    while (keywords.size() < 6000) {
        keywords += gbk("关键词") + "|";
    }
    list.setCellText(0, 3, keywords);
    EXPECT_EQ(list.cellText(0, 3), keywords);
}

TEST(EntryListTest, NumbersKeepTheirTextsAfterDeletion)
{
    EntryList list;
    for (int i = 0; i < 3; ++i) {
        addRow(list, "http://" + std::to_string(i) + "/");
    }
    list.selectRow(0);
    deleteSelectedEntry(list);
    ASSERT_EQ(list.rowCount(), 2);
    EXPECT_EQ(list.cellText(0, 0), "2");
    EXPECT_EQ(list.cellText(1, 0), "3");
    EXPECT_EQ(list.cellText(0, 2), "http://1/");
    addRow(list, "http://3/");
    EXPECT_EQ(list.cellText(2, 0), "3") << "the new row's index plus one, repeating a number";
}

TEST(EntryListTest, NoRowIsSelectedAfterADelete)
{
    EntryList list;
    list.show();
    for (int i = 0; i < 4; ++i) {
        addRow(list, "http://" + std::to_string(i) + "/");
    }
    for (const int row : {1, 0, 1}) {
        list.selectRow(row);
        ASSERT_EQ(list.selectedRow(), row);
        deleteSelectedEntry(list);
        EXPECT_EQ(list.selectedRow(), -1);
        EXPECT_TRUE(list.selectionModel()->selectedIndexes().isEmpty());
    }
    ASSERT_EQ(list.rowCount(), 1);
    // Nothing selected: the command changes nothing.
    deleteSelectedEntry(list);
    EXPECT_EQ(list.rowCount(), 1);
}

TEST(EntryListTest, AppendingLeavesTheSelectionAlone)
{
    EntryList list;
    addRow(list, "http://0/");
    addRow(list, "http://1/");
    list.selectRow(0);
    EXPECT_EQ(addRow(list, "http://2/"), 2) << "a new row goes to the end";
    EXPECT_EQ(list.selectedRow(), 0);
}

TEST(EntryListTest, HeadersAreClickableButNeverSortOrSelect)
{
    EntryList list;
    list.show();
    addRow(list, "http://b/");
    addRow(list, "http://a/");
    QHeaderView* header = list.horizontalHeader();
    const QPoint addressHeader(header->sectionViewportPosition(2) + 10, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, addressHeader);
    EXPECT_EQ(list.cellText(0, 2), "http://b/");
    EXPECT_EQ(list.cellText(1, 2), "http://a/");
    EXPECT_EQ(list.selectedRow(), -1);
}

TEST(EntryListTest, MovingAHeaderChangesOnlyTheDisplay)
{
    EntryList list;
    addRow(list, "http://a/");
    list.horizontalHeader()->moveSection(3, 0);
    EXPECT_EQ(list.horizontalHeader()->visualIndex(3), 0);
    EXPECT_EQ(list.cellText(0, 3), gbk("价格|元"));
    EXPECT_EQ(list.cellText(0, 2), "http://a/");
    list.setCellText(0, 3, "x");
    EXPECT_EQ(list.item(0, 3)->text(), "x");
}

} // namespace
} // namespace sornel
