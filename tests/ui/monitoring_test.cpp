// Monitoring end to end: the real main window, pages served on loopback, short waits.

#include "app/elapsed_clock.h"
#include "app/image_button.h"
#include "app/main_window.h"
#include "app/monitoring.h"
#include "editor/entry_editor_dialog.h"
#include "entries/entry_list.h"
#include "monitor/stop_flag.h"
#include "monitor/worker_slot.h"
#include "support/http_server.h"
#include "support/raw_server.h"
#include "ui_test_support.h"

#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QThread>
#include <chrono>
#include <gtest/gtest.h>

namespace sornel {
namespace {

using namespace std::chrono_literals;
using test::child;
using test::gbk;

// Lets the window's event loop run until `done` holds, or gives up after `within`.
template <typename Predicate> bool waitFor(Predicate done, std::chrono::milliseconds within = 10s)
{
    const auto deadline = std::chrono::steady_clock::now() + within;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        QApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(2);
    }
    return true;
}

std::vector<QMessageBox*> openHitMessages()
{
    std::vector<QMessageBox*> boxes;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() == "hitMessage" && w->isVisible()) {
            boxes.push_back(static_cast<QMessageBox*>(w));
        }
    }
    return boxes;
}

class MonitoringTest : public testing::Test {
protected:
    void SetUp() override
    {
        StopFlag::set(0);
        server.routes().Get("/page", [this](const httplib::Request&, httplib::Response& res) {
            ++downloads;
            res.set_content("<p>价格 100元</p><table><td>笔记本</td></table><table>笔记本</table>",
                            "text/html; charset=utf-8");
        });
        server.start();
        MonitorTiming timing;
        timing.startDelays = {0ms, 200ms, 400ms};
        timing.minute = 50ms;
        window.monitoring().setTimingForTesting(timing);
        window.monitoring().setSoundForTesting([this] { ++sounds; });
        window.showCentred();
    }

    void TearDown() override
    {
        window.monitoring().endAll();
        EXPECT_TRUE(waitFor([] { return WorkerSlot::threadsAlive() == 0; }));
        QApplication::processEvents();
    }

    void addRow(const std::string& address, const char* keywords, const char* relation,
                const char* period = "1", const char* sound = "是")
    {
        EntryList& list = window.entryList();
        const int row = list.appendRow();
        const std::string cells[] = {std::to_string(row + 1), gbk("停止"), address,
                                     gbk(keywords),           gbk(sound),  period,
                                     gbk(relation),           gbk("否")};
        for (int c = 0; c < kEntryColumnCount; ++c) {
            list.setCellText(row, c, cells[c]);
        }
    }

    std::string cell(int row, EntryColumn c) { return window.entryList().cellText(row, column(c)); }
    void pressStart() { child<ImageButton>(window, "startButton").click(); }
    void pressStop() { child<ImageButton>(window, "stopButton").click(); }

    std::vector<std::string> snapshot()
    {
        std::vector<std::string> cells;
        for (int r = 0; r < window.entryList().rowCount(); ++r) {
            for (int c = 0; c < kEntryColumnCount; ++c) {
                cells.push_back(window.entryList().cellText(r, c));
            }
        }
        return cells;
    }

    // Declared first, so they outlive the server's and the window's threads and callbacks.
    std::atomic<int> downloads{0};
    int sounds = 0;
    test::HttpServer server;
    MainWindow window;
};

TEST_F(MonitoringTest, AddPressStartAndGetTheHitMessage)
{
    const std::string address = server.url("/page");
    test::whenModalOpens([&](QWidget& modal) {
        auto& form = dynamic_cast<EntryEditorDialog&>(modal);
        form.addressEdit().setText(QString::fromStdString(address));
        form.keywordsEdit().setText(QStringLiteral("价格|元"));
        form.save();
    });
    child<ImageButton>(window, "addButton").click();
    pressStart();
    EXPECT_TRUE(window.clock().isRunning());
    ASSERT_TRUE(waitFor([] { return openHitMessages().size() == 1; }));
    QMessageBox* box = openHitMessages().front();
    EXPECT_EQ(box->windowTitle(), QStringLiteral("提示：发现关键词！"));
    EXPECT_EQ(box->text(), QStringLiteral(">>>>>>请注意<<<<<<\n\n在您指定的监控网址： “") +
                               QString::fromStdString(address) +
                               QStringLiteral("”\n\n中发现您指定的监控关键词： “价格|元”"));
    EXPECT_EQ(box->icon(), QMessageBox::Information);
    EXPECT_EQ(box->windowModality(), Qt::NonModal) << "the main window stays usable";
    EXPECT_EQ(box->parentWidget(), nullptr);
    EXPECT_EQ(sounds, 1);
    EXPECT_EQ(cell(0, EntryColumn::Status), gbk("监控中"));
    EXPECT_EQ(cell(0, EntryColumn::Found), gbk("否"));

    box->button(QMessageBox::Ok)->click();
    EXPECT_TRUE(waitFor([&] { return cell(0, EntryColumn::Found) == gbk("是"); }));
    EXPECT_TRUE(waitFor([&] { return cell(0, EntryColumn::Status) == gbk("停止"); }));
    EXPECT_TRUE(waitFor([] { return WorkerSlot::threadsAlive() == 0; })) << "ends at its next pass";
    EXPECT_TRUE(openHitMessages().empty());
}

TEST_F(MonitoringTest, EachHitOfAPassComesAfterThePreviousMessageIsClosed)
{
    addRow(server.url("/page"), "价格|元|笔记本", "或");
    pressStart();
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(waitFor([] { return openHitMessages().size() == 1; })) << i;
        QThread::msleep(50);
        QApplication::processEvents();
        ASSERT_EQ(openHitMessages().size(), 1u) << "never two of one worker at once";
        EXPECT_TRUE(
            openHitMessages().front()->text().startsWith(QStringLiteral("！！！请注意！！！")));
        openHitMessages().front()->button(QMessageBox::Ok)->click();
        QApplication::processEvents();
    }
    EXPECT_TRUE(waitFor([] { return WorkerSlot::threadsAlive() == 0; }));
    EXPECT_EQ(sounds, 3);
}

TEST_F(MonitoringTest, SameTableHitsPerTableAndSoundOnlyWhenAskedFor)
{
    addRow(server.url("/page"), "笔记本", "同一行", "1", "否");
    pressStart();
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(waitFor([] { return openHitMessages().size() == 1; })) << i;
        openHitMessages().front()->button(QMessageBox::Ok)->click();
        QApplication::processEvents();
    }
    EXPECT_TRUE(waitFor([] { return WorkerSlot::threadsAlive() == 0; }));
    EXPECT_TRUE(openHitMessages().empty());
    EXPECT_EQ(sounds, 0);
}

TEST_F(MonitoringTest, OnlyTheFirstThreeRowsAreWatched)
{
    for (int i = 0; i < 5; ++i) {
        addRow(server.url("/page"), "absent", "与");
    }
    pressStart();
    for (int row = 0; row < 3; ++row) {
        EXPECT_TRUE(waitFor([&] { return cell(row, EntryColumn::Status) == gbk("监控中"); }));
        EXPECT_TRUE(window.monitoring().slot(row).holdsWorker());
    }
    EXPECT_EQ(cell(3, EntryColumn::Status), gbk("停止"));
    EXPECT_EQ(cell(4, EntryColumn::Status), gbk("停止"));
    EXPECT_EQ(WorkerSlot::threadsAlive(), 3);
}

TEST_F(MonitoringTest, FoundRowsAreNotStartedAgain)
{
    addRow(server.url("/page"), "absent", "与");
    addRow(server.url("/page"), "absent", "与");
    window.entryList().setCellText(0, column(EntryColumn::Found), gbk("是"));
    pressStart();
    EXPECT_TRUE(window.clock().isRunning());
    EXPECT_FALSE(window.monitoring().slot(0).holdsWorker());
    EXPECT_TRUE(window.monitoring().slot(1).holdsWorker());
    pressStop();
    EXPECT_TRUE(waitFor([] { return WorkerSlot::threadsAlive() == 0; }));

    window.entryList().setCellText(1, column(EntryColumn::Found), gbk("是"));
    const auto before = snapshot();
    window.clockDisplay().setText("00:03:17");
    pressStart();
    EXPECT_FALSE(window.clock().isRunning()) << "all found: nothing happens";
    EXPECT_EQ(window.clockDisplay().text(), "00:03:17");
    EXPECT_EQ(snapshot(), before);
    EXPECT_EQ(WorkerSlot::threadsAlive(), 0);
}

TEST_F(MonitoringTest, AnEmptyListOnlySaysSo)
{
    test::MessageRecorder recorder;
    pressStart();
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].title, QStringLiteral("提示"));
    EXPECT_EQ(recorder.messages[0].text, QStringLiteral("请先按“ 增加 ”按钮添加监控！"));
    EXPECT_EQ(recorder.messages[0].icon, MessageIcon::Information);
    EXPECT_FALSE(window.clock().isRunning());
    EXPECT_EQ(WorkerSlot::threadsAlive(), 0);
}

TEST_F(MonitoringTest, StopEndsEveryWorkerAtOnceWhateverItIsDoing)
{
    test::RawServer silent([](int, const std::string&, const std::atomic<bool>& stopping) {
        test::RawServer::waitUntil(stopping);
    });
    MonitorTiming timing = window.monitoring().timing();
    timing.startDelays = {0ms, 0ms, 60000ms};
    window.monitoring().setTimingForTesting(timing);
    addRow(server.url("/page"), "价格", "与"); // a hit message open
    addRow(silent.url("/"), "价格", "与");     // a download that never ends
    addRow(server.url("/page"), "价格", "与"); // in its start delay
    pressStart();
    ASSERT_TRUE(waitFor([] { return openHitMessages().size() == 1; }));
    ASSERT_TRUE(waitFor([&] { return silent.connections() == 1; }));
    for (int row = 0; row < 3; ++row) {
        EXPECT_EQ(cell(row, EntryColumn::Status), gbk("监控中"));
    }

    pressStop();
    EXPECT_FALSE(window.clock().isRunning());
    for (int row = 0; row < 3; ++row) {
        EXPECT_EQ(cell(row, EntryColumn::Status), gbk("停止"));
        EXPECT_EQ(cell(row, EntryColumn::Found), gbk("否"));
    }
    QApplication::processEvents();
    EXPECT_TRUE(openHitMessages().empty()) << "the open message went with its worker";
    // Nothing touches the list any more, however long one waits.
    const auto after = snapshot();
    EXPECT_TRUE(waitFor([] { return WorkerSlot::threadsAlive() == 0; }));
    waitFor([] { return false; }, 300ms);
    EXPECT_EQ(snapshot(), after);
    EXPECT_EQ(sounds, 1);
}

TEST_F(MonitoringTest, ModifyEndsARunningWorkerAtItsNextPass)
{
    addRow(server.url("/page"), "absent", "与", "4"); // a pause of 200 ms
    pressStart();
    // In its loop: it has downloaded once and sleeps.
    ASSERT_TRUE(waitFor([&] { return downloads.load() == 1; }));
    {
        test::MessageRecorder recorder; // no row selected: the command only says so
        child<ImageButton>(window, "modifyButton").click();
    }
    EXPECT_EQ(StopFlag::get(), 1);
    EXPECT_TRUE(waitFor([] { return WorkerSlot::threadsAlive() == 0; }));
    EXPECT_EQ(cell(0, EntryColumn::Status), gbk("停止"));
}

TEST_F(MonitoringTest, DeletingRowZeroMovesTheEntriesUnderTheWorkers)
{
    MonitorTiming timing = window.monitoring().timing();
    timing.startDelays = {0ms, 0ms, 0ms};
    window.monitoring().setTimingForTesting(timing);
    addRow(server.url("/page"), "absent", "与", "100");
    addRow(server.url("/page"), "价格", "与");
    addRow(server.url("/page?third"), "absent", "与", "100");
    pressStart();
    ASSERT_TRUE(waitFor([] { return openHitMessages().size() == 1; }));
    window.entryList().selectRow(0);
    child<ImageButton>(window, "deleteButton").click();
    openHitMessages().front()->button(QMessageBox::Ok)->click();
    // Slot 1 marks whatever stands at row 1 now: the entry that was third.
    EXPECT_TRUE(waitFor([&] { return cell(1, EntryColumn::Found) == gbk("是"); }));
    EXPECT_EQ(cell(1, EntryColumn::Address), server.url("/page?third"));
    EXPECT_EQ(cell(0, EntryColumn::Found), gbk("否"));
}

// The forms block the main window only: a hit message that arrives while one is open can be
// closed at once (its worker then writes "是" into the row, which the form's "保存" would
// overwrite with "否").
TEST_F(MonitoringTest, FormsAreModalOverTheMainWindowOnly)
{
    addRow(server.url("/page"), "价格", "与");
    window.entryList().selectRow(0);
    for (const char* button : {"addButton", "modifyButton"}) {
        Qt::WindowModality modality = Qt::NonModal;
        QWidget* owner = nullptr;
        QPoint position;
        test::whenModalOpens([&](QWidget& modal) {
            modality = modal.windowModality();
            owner = modal.parentWidget();
            position = modal.pos();
            dynamic_cast<EntryEditorDialog&>(modal).cancel();
        });
        child<ImageButton>(window, button).click();
        EXPECT_EQ(modality, Qt::WindowModal) << button;
        EXPECT_EQ(owner, &window) << button;
        const QRect screen = window.screen()->geometry();
        EXPECT_EQ(position, QPoint((screen.width() - 420) / 2, (screen.height() - 390) / 2))
            << "centred on the screen, not over the window";
    }
}

TEST_F(MonitoringTest, StartingAgainEndsTheSlotsEarlierWorker)
{
    addRow(server.url("/page"), "absent", "与", "100");
    pressStart();
    ASSERT_TRUE(waitFor([&] { return cell(0, EntryColumn::Status) == gbk("监控中"); }));
    pressStart();
    pressStart();
    EXPECT_TRUE(waitFor([] { return WorkerSlot::threadsAlive() == 1; }));
    pressStop();
    EXPECT_TRUE(waitFor([] { return WorkerSlot::threadsAlive() == 0; })) << "stop reaches it";
}

} // namespace
} // namespace sornel
