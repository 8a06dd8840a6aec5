// The worker's logic without any window: a host that keeps the rows in memory and lets the test
// close hit messages, and pages served on loopback.

#include "gbk_literals.h"
#include "monitor/entry_column.h"
#include "monitor/hit_alert.h"
#include "monitor/monitor_worker.h"
#include "monitor/stop_flag.h"
#include "monitor/worker_host.h"
#include "monitor/worker_slot.h"
#include "support/http_server.h"
#include "support/raw_server.h"

#include <array>
#include <chrono>
#include <condition_variable>
#include <gtest/gtest.h>
#include <mutex>
#include <new>
#include <thread>
#include <vector>

namespace sornel {
namespace {

using namespace std::chrono_literals;
using test::gbk;
using Row = std::array<std::string, kEntryColumnCount>;

// Rows in memory, guarded as the window's list is by its thread. Hit messages stay open until
// the test closes them or the worker is ended.
class FakeHost : public WorkerHost {
public:
    std::optional<std::string> cellText(const std::stop_token& stop, int row, int column) override
    {
        std::lock_guard lock(mutex_);
        if (!admit(stop)) {
            return std::nullopt;
        }
        if (row == throwingRow_ && column == ::sornel::column(EntryColumn::Found)) {
            throw std::bad_alloc();
        }
        if (row < 0 || row >= static_cast<int>(rows_.size())) {
            return std::string();
        }
        return rows_[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
    }

    bool setCellText(const std::stop_token& stop, int row, int column,
                     const std::string& text) override
    {
        std::lock_guard lock(mutex_);
        if (!admit(stop)) {
            return false;
        }
        if (row >= 0 && row < static_cast<int>(rows_.size())) {
            rows_[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)] = text;
        }
        return true;
    }

    bool playAlert(const std::stop_token& stop) override
    {
        std::lock_guard lock(mutex_);
        if (!admit(stop)) {
            return false;
        }
        ++sounds_;
        return true;
    }

    bool showHitMessage(const std::stop_token& stop, const std::string& title,
                        const std::string& text) override
    {
        std::unique_lock lock(mutex_);
        if (!admit(stop)) {
            return false;
        }
        messages_.push_back(title + "\n" + text);
        open_ = true;
        changed_.notify_all();
        const bool closed = changed_.wait(lock, stop, [this] { return !open_; });
        open_ = false;
        return closed;
    }

    void addRow(const Row& row)
    {
        std::lock_guard lock(mutex_);
        rows_.push_back(row);
    }
    // Reading the found cell of `row` throws from now on, as a host out of memory would.
    void throwOnFoundOf(int row)
    {
        std::lock_guard lock(mutex_);
        throwingRow_ = row;
    }
    void setCell(int row, EntryColumn c, const std::string& text)
    {
        std::lock_guard lock(mutex_);
        rows_[static_cast<std::size_t>(row)][static_cast<std::size_t>(column(c))] = text;
    }
    void deleteRow(int row)
    {
        std::lock_guard lock(mutex_);
        rows_.erase(rows_.begin() + row);
    }
    std::string cell(int row, EntryColumn c)
    {
        std::lock_guard lock(mutex_);
        return rows_[static_cast<std::size_t>(row)][static_cast<std::size_t>(column(c))];
    }
    int sounds()
    {
        std::lock_guard lock(mutex_);
        return sounds_;
    }
    std::vector<std::string> messages()
    {
        std::lock_guard lock(mutex_);
        return messages_;
    }
    int lateCalls()
    {
        std::lock_guard lock(mutex_);
        return lateCalls_;
    }

    // Waits (boundedly) for a hit message to be open, then closes it.
    bool closeMessage()
    {
        std::unique_lock lock(mutex_);
        if (!changed_.wait_for(lock, 10s, [this] { return open_; })) {
            return false;
        }
        open_ = false;
        changed_.notify_all();
        return true;
    }
    bool messageOpen(std::chrono::milliseconds within)
    {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, within, [this] { return open_; });
    }

private:
    // A call made after the worker was ended is dropped, as the window drops it; count it.
    bool admit(const std::stop_token& stop)
    {
        if (stop.stop_requested()) {
            ++lateCalls_;
            return false;
        }
        return true;
    }

    std::mutex mutex_;
    std::condition_variable_any changed_;
    std::vector<Row> rows_;
    std::vector<std::string> messages_;
    bool open_ = false;
    int throwingRow_ = -1;
    int sounds_ = 0;
    int lateCalls_ = 0;
};

Row entry(const std::string& address, const char* keywords, const char* relation,
          const char* period = "1", const char* sound = "是")
{
    return {"1", gbk("停止"), address, gbk(keywords), gbk(sound), period, gbk(relation), gbk("否")};
}

// Short waits: a minute of the period lasts 50 ms, slots 1 and 2 wait 100 and 200 ms.
MonitorTiming fastTiming()
{
    MonitorTiming timing;
    timing.startDelays = {0ms, 100ms, 200ms};
    timing.minute = 50ms;
    return timing;
}

template <typename Predicate>
bool eventually(Predicate done, std::chrono::milliseconds within = 10s)
{
    const auto deadline = std::chrono::steady_clock::now() + within;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(2ms);
    }
    return true;
}

class MonitorWorkerTest : public testing::Test {
protected:
    void SetUp() override
    {
        StopFlag::set(0);
        server.routes().Get("/page", [](const httplib::Request&, httplib::Response& res) {
            res.set_content(
                "<html><b>\xE4\xBB\xB7\xE6\xA0\xBC</b> 100\xE5\x85\x83 "
                "<table><tr><td>\xE7\xAC\x94\xE8\xAE\xB0\xE6\x9C\xAC</td></tr></table>"
                "<table>\xE7\xAC\x94\xE8\xAE\xB0\xE6\x9C\xAC \xE4\xB9\x9D</table></html>",
                "text/html; charset=utf-8");
        });
        server.start();
    }
    void TearDown() override
    {
        for (WorkerSlot& slot : slots) {
            slot.end();
        }
        EXPECT_TRUE(eventually([] { return WorkerSlot::threadsAlive() == 0; }));
    }

    void start(int slot) { slots[static_cast<std::size_t>(slot)].start(host, timing); }

    test::HttpServer server;
    std::shared_ptr<FakeHost> host = std::make_shared<FakeHost>();
    MonitorTiming timing = fastTiming();
    std::array<WorkerSlot, 3> slots{WorkerSlot(0), WorkerSlot(1), WorkerSlot(2)};
};

TEST_F(MonitorWorkerTest, AHitShowsTheMessageThenMarksTheRowFoundAndStopped)
{
    const std::string address = server.url("/page");
    host->addRow(entry(address, "价格|元", "与"));
    start(0);
    ASSERT_TRUE(host->messageOpen(10s));
    EXPECT_EQ(host->cell(0, EntryColumn::Status), gbk("监控中"));
    EXPECT_EQ(host->cell(0, EntryColumn::Found), gbk("否")) << "not before the message is closed";
    EXPECT_EQ(host->sounds(), 1);
    ASSERT_EQ(host->messages().size(), 1u);
    EXPECT_EQ(host->messages()[0],
              gbk("提示：发现关键词！\n>>>>>>请注意<<<<<<\r\n\r\n在您指定的监控网址： “") +
                  address + gbk("”\r\n\r\n中发现您指定的监控关键词： “价格|元”"));
    ASSERT_TRUE(host->closeMessage());
    EXPECT_TRUE(eventually([&] { return host->cell(0, EntryColumn::Found) == gbk("是"); }));
    EXPECT_TRUE(eventually([&] { return host->cell(0, EntryColumn::Status) == gbk("停止"); }));
    // The next pass sees the mark and ends: no second message.
    EXPECT_TRUE(eventually([] { return WorkerSlot::threadsAlive() == 0; }));
    EXPECT_EQ(host->messages().size(), 1u);
}

TEST_F(MonitorWorkerTest, EveryKeywordFoundUnderAnyIsAHitOfItsOwn)
{
    host->addRow(entry(server.url("/page"), "价格|元|笔记本|缺", "或"));
    start(0);
    // One after another: each shows only once the one before it was closed.
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(host->closeMessage()) << i;
    }
    EXPECT_TRUE(eventually([] { return WorkerSlot::threadsAlive() == 0; }));
    EXPECT_EQ(host->messages().size(), 3u);
    EXPECT_EQ(host->sounds(), 3);
    // Not slot 0 under 与: the header of exclamation marks.
    EXPECT_NE(host->messages()[0].find(gbk("！！！请注意！！！")), std::string::npos);
}

TEST_F(MonitorWorkerTest, SameTableCountsSegmentsAndSoundFollowsTheCell)
{
    host->addRow(entry(server.url("/page"), "笔记本", "同一行", "1", "否"));
    start(0);
    ASSERT_TRUE(host->closeMessage());
    ASSERT_TRUE(host->closeMessage());
    EXPECT_TRUE(eventually([] { return WorkerSlot::threadsAlive() == 0; }));
    EXPECT_EQ(host->messages().size(), 2u);
    EXPECT_EQ(host->sounds(), 0) << "声音报警 is 否";
}

TEST_F(MonitorWorkerTest, StopFlagEndsTheWorkerAtItsNextPassAndSaysStopped)
{
    host->addRow(entry(server.url("/page"), "absent", "与", "2"));
    start(0);
    EXPECT_TRUE(eventually([&] { return host->cell(0, EntryColumn::Status) == gbk("监控中"); }));
    std::this_thread::sleep_for(30ms); // into its first pause
    StopFlag::set(1);
    EXPECT_TRUE(eventually([] { return WorkerSlot::threadsAlive() == 0; }));
    EXPECT_EQ(host->cell(0, EntryColumn::Status), gbk("停止"));
    EXPECT_EQ(host->cell(0, EntryColumn::Found), gbk("否"));
}

TEST_F(MonitorWorkerTest, EnteringTheLoopClearsStopFlag)
{
    // Slot 0 begins its next pass only after slot 1 has entered its loop.
    host->addRow(entry(server.url("/page"), "absent", "与", "10"));
    host->addRow(entry(server.url("/page"), "absent", "与"));
    start(0);
    start(1);
    EXPECT_TRUE(eventually([&] { return host->cell(1, EntryColumn::Status) == gbk("监控中"); }));
    StopFlag::set(1); // during slot 1's start delay
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(StopFlag::get(), 0) << "slot 1 entered its loop and cleared it";
    EXPECT_EQ(WorkerSlot::threadsAlive(), 2) << "both go on";
}

TEST_F(MonitorWorkerTest, EndedWorkersStopAtOnceWhateverTheyAreDoing)
{
    test::RawServer silent([](int, const std::string&, const std::atomic<bool>& stopping) {
        test::RawServer::waitUntil(stopping);
    });
    host->addRow(entry(server.url("/page"), "价格", "与")); // will hold a message open
    host->addRow(entry(silent.url("/"), "价格", "与"));     // will hang in its download
    host->addRow(entry(server.url("/page"), "价格", "与")); // still in its start delay
    timing.startDelays = {0ms, 0ms, 60000ms};
    start(0);
    start(1);
    start(2);
    ASSERT_TRUE(host->messageOpen(10s));
    EXPECT_TRUE(eventually([&] { return silent.connections() == 1; }));
    // Slot 2 has begun its delay (a thread slow to start would make its first call late).
    EXPECT_TRUE(eventually([&] { return host->cell(2, EntryColumn::Status) == gbk("监控中"); }));
    const auto ended = std::chrono::steady_clock::now();
    for (WorkerSlot& slot : slots) {
        slot.end();
    }
    EXPECT_TRUE(eventually([] { return WorkerSlot::threadsAlive() == 0; }, 5s));
    EXPECT_LT(std::chrono::steady_clock::now() - ended, 5s);
    EXPECT_EQ(host->cell(0, EntryColumn::Found), gbk("否")) << "the open message was not a hit";
    EXPECT_EQ(host->lateCalls(), 0) << "nothing was even tried after the end";
}

TEST_F(MonitorWorkerTest, WorkersAreBoundToRowPositions)
{
    host->addRow(entry(server.url("/page"), "absent", "与"));
    host->addRow(entry(server.url("/page"), "价格", "与"));
    host->addRow(entry(server.url("/page?third"), "absent", "与"));
    timing.startDelays = {0ms, 0ms, 0ms};
    start(1);
    ASSERT_TRUE(host->messageOpen(10s));
    // While slot 1's message is open, the entry it watches moves up to row 0.
    host->deleteRow(0);
    ASSERT_TRUE(host->closeMessage());
    // Slot 1 marks whatever now stands at row 1: the entry that was third.
    EXPECT_TRUE(eventually([&] { return host->cell(1, EntryColumn::Found) == gbk("是"); }));
    EXPECT_EQ(host->cell(1, EntryColumn::Address), server.url("/page?third"));
    EXPECT_EQ(host->cell(1, EntryColumn::Status), gbk("停止"));
    EXPECT_EQ(host->cell(0, EntryColumn::Found), gbk("否"));
}

// The settings are read once the start delay is over: an edit made during the delay counts.
TEST_F(MonitorWorkerTest, SettingsAreReadAfterTheStartDelay)
{
    host->addRow(entry(server.url("/page"), "absent", "与"));
    host->addRow(entry(server.url("/nothing-here"), "absent", "与", "100", "否"));
    timing.startDelays = {0ms, 1000ms, 0ms}; // long enough to edit the row within it
    start(1);
    ASSERT_TRUE(eventually([&] { return host->cell(1, EntryColumn::Status) == gbk("监控中"); }));
    host->setCell(1, EntryColumn::Address, server.url("/page"));
    host->setCell(1, EntryColumn::Keywords, gbk("价格|笔记本"));
    host->setCell(1, EntryColumn::Relation, gbk("或"));
    host->setCell(1, EntryColumn::Sound, gbk("是"));
    host->setCell(1, EntryColumn::Period, "1");
    ASSERT_TRUE(host->closeMessage());
    ASSERT_TRUE(host->closeMessage()) << "或: a hit per keyword found";
    EXPECT_TRUE(eventually([] { return WorkerSlot::threadsAlive() == 0; }));
    ASSERT_EQ(host->messages().size(), 2u);
    EXPECT_NE(host->messages()[0].find(server.url("/page") + gbk("”")), std::string::npos);
    EXPECT_NE(host->messages()[0].find(gbk("“价格|笔记本”")), std::string::npos);
    EXPECT_EQ(host->sounds(), 2);
}

// A pass whose page failed is an empty page, and the worker goes on to its next pass.
TEST_F(MonitorWorkerTest, APageThatFailedIsFoundOnALaterPass)
{
    const std::string page = "HTTP/1.0 200 OK\r\n\r\n<p>\xE4\xBB\xB7\xE6\xA0\xBC</p>";
    std::atomic<int> served{0};
    test::RawServer flaky([&](int socket, const std::string&, const std::atomic<bool>&) {
        switch (++served) {
        case 1:
            return; // closed with no answer at all
        case 2:
            test::RawServer::sendAll(socket, "HTTP/1.0 200 OK\r\nContent-Length: 0\r\n\r\n");
            return;
        default:
            test::RawServer::sendAll(socket, page);
        }
    });
    host->addRow(entry(flaky.url("/"), "价格", "与"));

    // A port where nothing listens yet: the connection is refused until a server comes.
    int refusedPort = 0;
    {
        test::HttpServer probe;
        probe.start();
        refusedPort = probe.port();
    }
    host->addRow(entry("http://127.0.0.1:" + std::to_string(refusedPort) + "/page", "价格", "与"));
    timing.startDelays = {0ms, 0ms, 0ms};
    start(0);
    ASSERT_TRUE(host->closeMessage());
    EXPECT_GE(served.load(), 3);
    EXPECT_TRUE(eventually([&] { return host->cell(0, EntryColumn::Found) == gbk("是"); }));

    start(1);
    std::this_thread::sleep_for(200ms); // a few refused passes
    EXPECT_FALSE(host->messageOpen(0ms));
    test::HttpServer late;
    late.routes().Get("/page", [](const httplib::Request&, httplib::Response& res) {
        res.set_content("<p>\xE4\xBB\xB7\xE6\xA0\xBC</p>", "text/html");
    });
    ASSERT_TRUE(late.start(refusedPort));
    ASSERT_TRUE(host->closeMessage());
    EXPECT_TRUE(eventually([&] { return host->cell(1, EntryColumn::Found) == gbk("是"); }));
}

// An exception out of a worker ends that worker only: its row reads "停止", the other workers go
// on, and the process lives.
TEST_F(MonitorWorkerTest, AnExceptionEndsOnlyItsOwnWorker)
{
    host->addRow(entry(server.url("/page"), "absent", "与"));
    host->addRow(entry(server.url("/page"), "absent", "与"));
    host->addRow(entry(server.url("/page"), "价格", "与"));
    timing.startDelays = {0ms, 0ms, 300ms};
    host->throwOnFoundOf(0);
    start(0);
    start(1);
    start(2);
    EXPECT_TRUE(eventually([&] { return host->cell(0, EntryColumn::Status) == gbk("停止"); }));
    EXPECT_TRUE(eventually([] { return WorkerSlot::threadsAlive() == 2; }));
    ASSERT_TRUE(host->closeMessage()) << "slot 2 goes on to its hit";
    EXPECT_TRUE(eventually([&] { return host->cell(2, EntryColumn::Found) == gbk("是"); }));
    EXPECT_EQ(host->cell(1, EntryColumn::Status), gbk("监控中"));
}

TEST(SleepTest, LongSleepsEndOnStopAndNeverWrap)
{
    EXPECT_TRUE(sleepUnlessStopped(std::stop_token(), 0ms));
    EXPECT_TRUE(sleepUnlessStopped(std::stop_token(), -5ms));
    std::stop_source stop;
    std::thread stopper([&] {
        std::this_thread::sleep_for(50ms);
        stop.request_stop();
    });
    const auto started = std::chrono::steady_clock::now();
    EXPECT_FALSE(sleepUnlessStopped(stop.get_token(), std::chrono::milliseconds::max()));
    EXPECT_LT(std::chrono::steady_clock::now() - started, 5s);
    stopper.join();
}

TEST(HitAlertTest, HeadersPerSlotAndRelation)
{
    const std::string angle = gbk(">>>>>>请注意<<<<<<\r\n\r\n在您指定的监控网址： “");
    const std::string bang = gbk("！！！请注意！！！\r\n\r\n在您指定的监控网址： “");
    EXPECT_EQ(HitAlert::header(0, gbk("与")), angle);
    EXPECT_EQ(HitAlert::header(1, gbk("与")), bang);
    EXPECT_EQ(HitAlert::header(2, gbk("与")), bang);
    EXPECT_EQ(HitAlert::header(0, gbk("或")), bang);
    EXPECT_EQ(HitAlert::header(0, gbk("同一行")), bang);
}

} // namespace
} // namespace sornel
