// Three workers at full speed for a minute: each with a refresh period of 0 against a loopback
// server that serves a 1 MiB Chinese page without the keywords, so every pass downloads, decodes
// and searches the whole page. Reports the passes per second, the resident memory after 10 s and
// at the end (it should not grow beyond noise), and how long the worker threads take to finish
// once they are ended, as "停止监控" ends them.
//
//     soak_bench [seconds]      (60 by default; the first reading is at a sixth of it)

#include "bench_page.h"
#include "monitor/entry_column.h"
#include "monitor/gbk_codec.h"
#include "monitor/monitor_timing.h"
#include "monitor/worker_host.h"
#include "monitor/worker_slot.h"
#include "support/http_server.h"

#include <array>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using sornel::EntryColumn;

// Three rows in memory, guarded as the window's list is by its thread; counts the passes (each
// begins by reading its row's found cell). A hit message, should one come, is closed at once.
class MemoryHost : public sornel::WorkerHost {
public:
    explicit MemoryHost(const std::string& address)
    {
        const auto gbk = [](const char* utf8) { return sornel::GbkCodec::fromUtf8(utf8); };
        for (std::size_t i = 0; i < rows_.size(); ++i) {
            rows_[i] = {std::to_string(i + 1),
                        gbk("停止"),
                        address,
                        gbk("价格|笔记本电脑"),
                        gbk("否"),
                        "0",
                        gbk("与"),
                        gbk("否")};
        }
    }

    std::optional<std::string> cellText(const std::stop_token& stop, int row, int column) override
    {
        const std::lock_guard lock(mutex_);
        if (stop.stop_requested()) {
            return std::nullopt;
        }
        if (column == sornel::column(EntryColumn::Found)) {
            ++passes_;
        }
        return rows_.at(static_cast<std::size_t>(row)).at(static_cast<std::size_t>(column));
    }
    bool setCellText(const std::stop_token& stop, int row, int column,
                     const std::string& text) override
    {
        const std::lock_guard lock(mutex_);
        if (stop.stop_requested()) {
            return false;
        }
        rows_.at(static_cast<std::size_t>(row)).at(static_cast<std::size_t>(column)) = text;
        return true;
    }
    bool playAlert(const std::stop_token& stop) override { return !stop.stop_requested(); }
    bool showHitMessage(const std::stop_token& stop, const std::string&,
                        const std::string&) override
    {
        return !stop.stop_requested();
    }

    long passes() const { return passes_.load(); }

private:
    std::mutex mutex_;
    std::array<std::array<std::string, sornel::kEntryColumnCount>, 3> rows_;
    std::atomic<long> passes_{0};
};

// Resident memory of this process, in MiB.
double residentMiB()
{
    std::ifstream statm("/proc/self/statm");
    long pages = 0;
    long resident = 0;
    statm >> pages >> resident;
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) /
           (1024.0 * 1024.0);
}

} // namespace

int main(int argc, char** argv)
{
    const auto total = std::chrono::seconds(argc > 1 ? std::max(6, std::atoi(argv[1])) : 60);
    const auto early = total / 6;

    const std::string page = sornel::bench::makeListingPage(1u << 20);
    // A server that keeps no record of its requests, so that all growth is the workers'.
    sornel::test::HttpServer server;
    server.routes().Get("/list", [&page](const httplib::Request&, httplib::Response& res) {
        res.set_content(page, "text/html; charset=utf-8");
    });
    server.start();

    auto host = std::make_shared<MemoryHost>(server.url("/list"));
    sornel::MonitorTiming timing;
    timing.startDelays = {0ms, 0ms, 0ms};
    std::array<sornel::WorkerSlot, 3> slots{sornel::WorkerSlot(0), sornel::WorkerSlot(1),
                                            sornel::WorkerSlot(2)};
    const auto started = Clock::now();
    for (sornel::WorkerSlot& slot : slots) {
        slot.start(host, timing);
    }

    std::this_thread::sleep_until(started + early);
    const double earlyMiB = residentMiB();
    const long earlyPasses = host->passes();
    std::this_thread::sleep_until(started + total);
    const double lateMiB = residentMiB();
    const long passes = host->passes();

    const auto stopping = Clock::now();
    for (sornel::WorkerSlot& slot : slots) {
        slot.end();
    }
    while (sornel::WorkerSlot::threadsAlive() > 0 && Clock::now() - stopping < 10s) {
        std::this_thread::sleep_for(100us);
    }
    const double stopMs =
        std::chrono::duration<double, std::milli>(Clock::now() - stopping).count();

    const double seconds = std::chrono::duration<double>(total).count();
    std::printf("page: %zu bytes, 3 workers, period 0, %.0f s\n", page.size(), seconds);
    std::printf("passes per second: %.1f (%ld passes; %ld in the first %.0f s)\n",
                static_cast<double>(passes) / seconds, passes, earlyPasses,
                std::chrono::duration<double>(early).count());
    std::printf("resident memory: %.1f MiB at %.0f s, %.1f MiB at %.0f s (ratio %.3f)\n", earlyMiB,
                std::chrono::duration<double>(early).count(), lateMiB, seconds, lateMiB / earlyMiB);
    std::printf("stop to every worker thread finished: %.2f ms%s\n", stopMs,
                sornel::WorkerSlot::threadsAlive() > 0 ? " (threads still alive)" : "");
    std::fflush(stdout);
    // The server's threads may still be writing to ended workers: leave at once.
    std::_Exit(0);
}
