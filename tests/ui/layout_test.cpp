#include "app/main_window.h"
#include "editor/entry_editor_dialog.h"
#include "entries/entry_list.h"
#include "ui_test_support.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QScreen>
#include <gtest/gtest.h>

namespace sornel {
namespace {

using test::child;

struct Placed {
    const char* name;
    QRect geometry;   // within its parent
    const char* text; // caption, title or initial text
};

QString textOf(QWidget& widget)
{
    if (auto* box = qobject_cast<QGroupBox*>(&widget)) {
        return box->title();
    }
    if (auto* edit = qobject_cast<QLineEdit*>(&widget)) {
        return edit->text();
    }
    if (auto* label = qobject_cast<QLabel*>(&widget)) {
        return label->text();
    }
    if (auto* button = qobject_cast<QAbstractButton*>(&widget)) {
        return button->text();
    }
    return {};
}

void expectLayout(QWidget& window, const std::vector<Placed>& table)
{
    for (const Placed& p : table) {
        QWidget& w = child<QWidget>(window, p.name);
        EXPECT_EQ(w.geometry(), p.geometry) << p.name;
        if (p.text != nullptr) {
            EXPECT_EQ(textOf(w), QString::fromUtf8(p.text)) << p.name;
        }
    }
}

TEST(LayoutTest, MainWindow)
{
    MainWindow window;
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Sornel1.0      By：Dravik"));
    EXPECT_EQ(window.size(), QSize(649, 303));
    EXPECT_EQ(window.minimumSize(), window.maximumSize()) << "fixed size";
    EXPECT_FALSE(window.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(window.windowFlags() & Qt::WindowMinimizeButtonHint);
    expectLayout(
        window, {
                    {"addButton", {2, 0, 58, 72}, "增加"},
                    {"modifyButton", {68, 0, 58, 72}, "修改"},
                    {"deleteButton", {134, 0, 58, 72}, "删除"},
                    {"startButton", {200, 0, 58, 72}, "开始监控"},
                    {"stopButton", {268, 0, 58, 72}, "停止监控"},
                    {"aboutButton", {336, 0, 58, 72}, "关于"},
                    {"clockGroup", {499, 3, 149, 63}, "已监控"},
                    {"clockDisplay", {10, 15, 128, 40}, "00:00:00"},
                    {"entryList", {6, 76, 636, 188}, nullptr},
                    {"tipsGroup", {6, 266, 640, 32}, "温馨提示"},
                    {"tipsLine",
                     {58, 12, 570, 16},
                     ">>>欢迎您使用本程序，不清楚的地方请看温馨提示说明，或联系我，祝您使用愉快！"},
                });
    // The clock display sits inside the clock group, the tips line inside the tips group.
    EXPECT_EQ(window.clockDisplay().parentWidget()->objectName(), "clockGroup");
    EXPECT_EQ(window.tipsLine().parentWidget()->objectName(), "tipsGroup");

    QLineEdit& clock = window.clockDisplay();
    EXPECT_FALSE(clock.hasFrame());
    EXPECT_EQ(clock.alignment(), Qt::AlignCenter);
    EXPECT_EQ(clock.palette().color(QPalette::Text), QColor(0, 96, 192));
    EXPECT_EQ(clock.font().pixelSize(), 29);
    EXPECT_EQ(clock.font().weight(), QFont::Bold);
    EXPECT_FALSE(clock.isReadOnly()) << "an ordinary editable field";
}

TEST(LayoutTest, EntryListColumns)
{
    EntryList list;
    const char* headers[] = {"序号",     "监控状态", "监控网页地址", "关键词",
                             "声音报警", "刷新频率", "监控方式",     "发现"};
    const int widths[] = {36, 60, 200, 120, 60, 60, 60, 36};
    for (int c = 0; c < kEntryColumnCount; ++c) {
        EXPECT_EQ(list.horizontalHeaderItem(c)->text(), QString::fromUtf8(headers[c]));
        EXPECT_EQ(list.columnWidth(c), widths[c]) << c;
        const Qt::Alignment expected = c == 0 ? Qt::AlignLeft : Qt::AlignHCenter;
        EXPECT_TRUE(Qt::Alignment(list.horizontalHeaderItem(c)->textAlignment()) & expected) << c;
    }
    EXPECT_TRUE(list.showGrid());
    EXPECT_FALSE(list.verticalHeader()->isVisible());
    EXPECT_TRUE(list.horizontalHeader()->sectionsMovable());
    EXPECT_EQ(list.selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_EQ(list.selectionMode(), QAbstractItemView::SingleSelection);
    EXPECT_EQ(list.editTriggers(), QAbstractItemView::NoEditTriggers);
    EXPECT_EQ(list.rowCount(), 0);
}

const std::vector<Placed> kSharedEditorLayout = {
    {"outerBox", {8, 6, 400, 346}, "添加或修改监控设置"},
    {"addressBox", {7, 16, 385, 48}, "监控网址"},
    {"addressEdit", {7, 15, 368, 24}, ""},
    {"keywordsBox", {8, 71, 385, 48}, "关键字词[用“|”分开]"},
    {"keywordsEdit", {7, 15, 368, 24}, ""},
    {"relationBox", {7, 126, 385, 48}, "关键字关系"},
    {"soundBox", {7, 183, 385, 48}, "声音报警"},
    {"periodBox", {8, 240, 385, 48}, "刷新频率"},
    {"saveButton", {182, 299, 88, 32}, "保存"},
    {"cancelButton", {304, 299, 88, 32}, "取消"},
};

TEST(LayoutTest, AddForm)
{
    EntryList list;
    EntryEditorDialog form(EntryEditorDialog::Form::Add, list);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("监控设置"));
    EXPECT_EQ(form.size(), QSize(414, 361));
    EXPECT_EQ(form.minimumSize(), form.maximumSize());
    EXPECT_EQ(form.windowModality(), Qt::ApplicationModal);
    EXPECT_FALSE(form.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(form.windowFlags() & Qt::WindowMaximizeButtonHint);
    expectLayout(form, kSharedEditorLayout);
    expectLayout(form, {
                           {"relationAll", {8, 18, 145, 20}, "与[关键字都同时出现]"},
                           {"relationAny", {156, 18, 153, 20}, "或[出现任何一个关键字]"},
                           {"relationSameTable", {317, 18, 57, 20}, "同一行"},
                           {"soundYes", {8, 19, 149, 19}, "是"},
                           {"soundNo", {163, 20, 105, 19}, "否"},
                           {"periodEdit", {9, 16, 65, 22}, "3"},
                           {"minutesLabel", {80, 21, 24, 12}, "分钟"},
                       });
    EXPECT_TRUE(child<QRadioButton>(form, "relationAll").isChecked());
    EXPECT_TRUE(child<QRadioButton>(form, "soundYes").isChecked());
}

TEST(LayoutTest, ModifyForm)
{
    EntryList list;
    EntryEditorDialog form(EntryEditorDialog::Form::Modify, list);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("监控设置"));
    EXPECT_EQ(form.size(), QSize(414, 361));
    expectLayout(form, kSharedEditorLayout);
    expectLayout(form, {
                           {"relationAll", {8, 17, 149, 22}, "与[关键字都同时出现]"},
                           {"relationAny", {156, 17, 153, 22}, "或[出现任何一个关键字]"},
                           {"relationSameTable", {316, 17, 59, 22}, "同一行"},
                           {"soundYes", {10, 21, 153, 13}, "是"},
                           {"soundNo", {165, 21, 153, 13}, "否"},
                           {"periodEdit", {10, 15, 65, 22}, ""},
                           {"minutesLabel", {81, 18, 23, 15}, "分钟"},
                       });
}

TEST(LayoutTest, WindowsOpenCentredOnTheScreen)
{
    MainWindow window;
    window.showCentred();
    const QRect screen = window.screen()->geometry();
    EXPECT_EQ(window.pos(), QPoint((screen.width() - 655) / 2, (screen.height() - 332) / 2));
    EntryEditorDialog form(EntryEditorDialog::Form::Add, window.entryList());
    EXPECT_EQ(form.pos(), QPoint((screen.width() - 420) / 2, (screen.height() - 390) / 2));
}

} // namespace
} // namespace sornel
