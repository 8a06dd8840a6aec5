#include "editor/entry_editor_dialog.h"
#include "entries/entry_list.h"
#include "monitor/stop_flag.h"
#include "ui_test_support.h"

#include <QLineEdit>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

namespace sornel {
namespace {

using test::child;
using test::gbk;
using test::MessageRecorder;

using Row = std::vector<std::string>;

Row rowOf(const EntryList& list, int row)
{
    Row cells;
    for (int c = 0; c < kEntryColumnCount; ++c) {
        cells.push_back(list.cellText(row, c));
    }
    return cells;
}

Row gbkRow(std::initializer_list<const char*> utf8)
{
    Row cells;
    for (const char* text : utf8) {
        cells.push_back(gbk(text));
    }
    return cells;
}

void fill(EntryEditorDialog& form, const QString& address, const QString& keywords,
          const QString& period)
{
    form.addressEdit().setText(address);
    form.keywordsEdit().setText(keywords);
    form.periodEdit().setText(period);
}

TEST(EditorTest, AddFormWritesANewRow)
{
    EntryList list;
    EntryEditorDialog form(EntryEditorDialog::Form::Add, list);
    form.addressEdit().setText("http://example.org/list?q=价格");
    form.keywordsEdit().setText("笔记本|九成新");
    form.save();
    EXPECT_EQ(form.result(), QDialog::Accepted);
    ASSERT_EQ(list.rowCount(), 1);
    EXPECT_EQ(rowOf(list, 0), gbkRow({"1", "停止", "http://example.org/list?q=价格",
                                      "笔记本|九成新", "是", "3", "与", "否"}));
}

TEST(EditorTest, OptionsBecomeCellTexts)
{
    struct Case {
        const char* relationOption;
        const char* soundOption;
        const char* relation;
        const char* sound;
    };
    const Case cases[] = {
        {"relationAll", "soundYes", "与", "是"},
        {"relationAny", "soundNo", "或", "否"},
        {"relationSameTable", "soundNo", "同一行", "否"},
        {"relationSameTable", "soundYes", "同一行", "是"},
    };
    EntryList list;
    for (const Case& c : cases) {
        EntryEditorDialog form(EntryEditorDialog::Form::Add, list);
        fill(form, "http://a/", "k", " ");
        child<QRadioButton>(form, c.relationOption).click();
        child<QRadioButton>(form, c.soundOption).click();
        form.save();
        const int row = list.rowCount() - 1;
        EXPECT_EQ(list.cellText(row, 6), gbk(c.relation));
        EXPECT_EQ(list.cellText(row, 4), gbk(c.sound));
        EXPECT_EQ(list.cellText(row, 5), " ") << "a period of spaces is stored as typed";
    }
}

TEST(EditorTest, EmptyFieldsAreRefusedInOrder)
{
    struct Case {
        const char* address;
        const char* keywords;
        const char* period;
    };
    const Case cases[] = {
        {"", "k", "3"}, {"http://a/", "", "3"}, {"http://a/", "k", ""}, {"", "", ""}};
    EntryList list;
    for (const Case& c : cases) {
        MessageRecorder recorder;
        EntryEditorDialog form(EntryEditorDialog::Form::Add, list);
        fill(form, c.address, c.keywords, c.period);
        form.save();
        ASSERT_EQ(recorder.messages.size(), 1u);
        EXPECT_EQ(recorder.messages[0].title, QStringLiteral("信息："));
        EXPECT_EQ(recorder.messages[0].text, QStringLiteral("信息填写有误，请检查！"));
        EXPECT_EQ(recorder.messages[0].icon, MessageIcon::Warning);
        EXPECT_EQ(list.rowCount(), 0);
        EXPECT_NE(form.result(), QDialog::Accepted);
        EXPECT_EQ(form.addressEdit().text(), QString(c.address)) << "what was typed stays";
    }
}

TEST(EditorTest, AnythingNonEmptyIsAccepted)
{
    EntryList list;
    MessageRecorder recorder;
    EntryEditorDialog form(EntryEditorDialog::Form::Add, list);
    fill(form, " ", " ", "abc");
    form.save();
    EXPECT_TRUE(recorder.messages.empty());
    EXPECT_EQ(list.cellText(0, 5), "abc");
}

TEST(EditorTest, EnterDoesNotSaveAndEscClosesWithoutWriting)
{
    EntryList list;
    EntryEditorDialog form(EntryEditorDialog::Form::Add, list);
    fill(form, "http://a/", "k", "3");
    form.show();
    for (QWidget* focus : {static_cast<QWidget*>(&form.keywordsEdit()),
                           static_cast<QWidget*>(&child<QWidget>(form, "saveButton")),
                           static_cast<QWidget*>(&child<QWidget>(form, "cancelButton"))}) {
        focus->setFocus();
        QTest::keyClick(focus, Qt::Key_Return);
        QTest::keyClick(focus, Qt::Key_Enter);
    }
    EXPECT_EQ(list.rowCount(), 0);
    EXPECT_TRUE(form.isVisible());
    QTest::keyClick(&form.addressEdit(), Qt::Key_Escape);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.result(), QDialog::Rejected);
    EXPECT_EQ(list.rowCount(), 0);
}

class ModifyTest : public testing::Test {
protected:
    void SetUp() override
    {
        StopFlag::set(0);
        for (const char* relation : {"与", "或", "同一行"}) {
            const int row = list.appendRow();
            const Row cells =
                gbkRow({"", "监控中", "http://old/", "旧", "否", "7", relation, "是"});
            for (int c = 0; c < kEntryColumnCount; ++c) {
                list.setCellText(row, c, cells[static_cast<std::size_t>(c)]);
            }
            list.setCellText(row, 0, std::to_string(row + 1));
        }
    }

    EntryList list;
};

TEST_F(ModifyTest, FormOpensWithTheRowsOwnSettings)
{
    const char* relationOption[] = {"relationAll", "relationAny", "relationSameTable"};
    for (int row = 0; row < 3; ++row) {
        list.selectRow(row);
        EntryEditorDialog form(EntryEditorDialog::Form::Modify, list);
        form.loadSelectedRow();
        EXPECT_EQ(form.addressEdit().text(), "http://old/");
        EXPECT_EQ(form.keywordsEdit().text(), QStringLiteral("旧"));
        EXPECT_EQ(form.periodEdit().text(), "7");
        EXPECT_TRUE(child<QRadioButton>(form, relationOption[row]).isChecked());
        EXPECT_TRUE(child<QRadioButton>(form, "soundNo").isChecked());
    }
}

TEST_F(ModifyTest, SavingRewritesTheSettingsOnly)
{
    list.selectRow(2);
    EntryEditorDialog form(EntryEditorDialog::Form::Modify, list);
    form.loadSelectedRow();
    // Saved unchanged: every setting stays, the found mark goes back to 否.
    form.save();
    EXPECT_EQ(rowOf(list, 2),
              gbkRow({"3", "监控中", "http://old/", "旧", "否", "7", "同一行", "否"}));

    EntryEditorDialog second(EntryEditorDialog::Form::Modify, list);
    second.loadSelectedRow();
    fill(second, "http://new/", "新|词", "10");
    child<QRadioButton>(second, "relationAny").click();
    child<QRadioButton>(second, "soundYes").click();
    second.save();
    EXPECT_EQ(rowOf(list, 2),
              gbkRow({"3", "监控中", "http://new/", "新|词", "是", "10", "或", "否"}));
    EXPECT_EQ(rowOf(list, 1)[2], "http://old/");
}

TEST_F(ModifyTest, ModifyCommandSetsStopFlagAndOpensTheForm)
{
    list.selectRow(1);
    bool opened = false;
    test::whenModalOpens([&](QWidget& modal) {
        opened = modal.objectName() == "modifyForm";
        auto& form = dynamic_cast<EntryEditorDialog&>(modal);
        EXPECT_EQ(form.addressEdit().text(), "http://old/");
        form.keywordsEdit().setText("changed");
        form.save();
    });
    modifyEntry(list);
    EXPECT_TRUE(opened);
    EXPECT_EQ(StopFlag::get(), 1);
    EXPECT_EQ(list.cellText(1, 3), "changed");
}

TEST_F(ModifyTest, CancelledModifyKeepsTheRowButStopFlagStays)
{
    list.selectRow(0);
    test::whenModalOpens([](QWidget& modal) {
        dynamic_cast<EntryEditorDialog&>(modal).keywordsEdit().setText("changed");
        dynamic_cast<EntryEditorDialog&>(modal).cancel();
    });
    modifyEntry(list);
    EXPECT_EQ(StopFlag::get(), 1);
    EXPECT_EQ(list.cellText(0, 3), gbk("旧"));
    EXPECT_EQ(list.cellText(0, 7), gbk("是"));
}

TEST(ModifyCommandTest, SaysWhyWhenThereIsNothingToModify)
{
    EntryList list;
    {
        StopFlag::set(0);
        MessageRecorder recorder;
        modifyEntry(list);
        ASSERT_EQ(recorder.messages.size(), 1u);
        EXPECT_EQ(recorder.messages[0].title, QStringLiteral("提示"));
        EXPECT_EQ(recorder.messages[0].text, QStringLiteral("无可修改的项目，请先添加监控项目！"));
        EXPECT_EQ(recorder.messages[0].icon, MessageIcon::Warning);
        EXPECT_EQ(StopFlag::get(), 1);
    }
    list.appendRow();
    list.setCellText(0, 0, "1");
    {
        StopFlag::set(0);
        MessageRecorder recorder;
        modifyEntry(list);
        ASSERT_EQ(recorder.messages.size(), 1u);
        EXPECT_EQ(recorder.messages[0].title, QStringLiteral("提示"));
        EXPECT_EQ(recorder.messages[0].text, QStringLiteral("请先选中要修改的行！"));
        EXPECT_EQ(StopFlag::get(), 1);
    }
}

TEST(AddCommandTest, EachAddFormStartsAfresh)
{
    EntryList list;
    test::whenModalOpens([](QWidget& modal) {
        auto& form = dynamic_cast<EntryEditorDialog&>(modal);
        fill(form, "typed", "typed", "9");
        child<QRadioButton>(form, "relationAny").click();
        form.cancel();
    });
    addEntry(list);
    EXPECT_EQ(list.rowCount(), 0);
    test::whenModalOpens([](QWidget& modal) {
        auto& form = dynamic_cast<EntryEditorDialog&>(modal);
        EXPECT_EQ(form.addressEdit().text(), "");
        EXPECT_EQ(form.keywordsEdit().text(), "");
        EXPECT_EQ(form.periodEdit().text(), "3");
        EXPECT_TRUE(child<QRadioButton>(form, "relationAll").isChecked());
        EXPECT_TRUE(child<QRadioButton>(form, "soundYes").isChecked());
        fill(form, "http://a/", "k", "3");
        form.save();
    });
    addEntry(list);
    EXPECT_EQ(list.rowCount(), 1);
}

} // namespace
} // namespace sornel
