// PageFetcher against the curl command line tool: a 64 MiB body from a loopback server, fetched
// by both in one run; the fetcher's peak memory for it; and how long fetch takes to return once
// stop is requested while a server stays silent.

#include "memory_counter.h"
#include "monitor/page_fetcher.h"
#include "support/raw_server.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio> // std::remove, std::printf
#include <curl/curl.h>
#include <future>
#include <map>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>

extern char** environ;

namespace {

using sornel::test::RawServer;
using Clock = std::chrono::steady_clock;

constexpr std::size_t kBodySize = 64u << 20;

const std::string& body()
{
    static const std::string bytes = [] {
        std::string b(kBodySize, '\0');
        for (std::size_t i = 0; i < b.size(); ++i) {
            b[i] = static_cast<char>('a' + i % 26);
        }
        return b;
    }();
    return bytes;
}

RawServer& bodyServer()
{
    static RawServer server([](int socket, const std::string&, const std::atomic<bool>&) {
        const std::string head =
            "HTTP/1.0 200 OK\r\nContent-Length: " + std::to_string(body().size()) + "\r\n\r\n";
        if (RawServer::sendAll(socket, head)) {
            RawServer::sendAll(socket, body());
        }
    });
    return server;
}

double peakRatio = 0;

void BM_PageFetcher64MiB(benchmark::State& state)
{
    const std::string url = bodyServer().url("/big");
    for (auto _ : state) {
        const std::size_t before = sornel::bench::startPeak();
        const std::string page = sornel::PageFetcher::fetch(url);
        peakRatio = static_cast<double>(sornel::bench::peakBytes() - before) /
                    static_cast<double>(body().size());
        if (page.size() != body().size()) {
            state.SkipWithError("short body");
            break;
        }
    }
    state.counters["peak_per_body_byte"] = peakRatio;
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(body().size()));
}

// The curl tool saving the body to `target`.
void curlTool(benchmark::State& state, const char* target)
{
    const std::string url = bodyServer().url("/big");
    for (auto _ : state) {
        const char* argv[] = {"curl", "-s", "-o", target, url.c_str(), nullptr};
        pid_t child = 0;
        if (posix_spawnp(&child, "curl", nullptr, nullptr, const_cast<char**>(argv), environ) !=
            0) {
            state.SkipWithError("no curl tool");
            break;
        }
        int status = 0;
        waitpid(child, &status, 0);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("curl failed");
            break;
        }
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(body().size()));
}

void BM_CurlTool64MiB(benchmark::State& state)
{
    curlTool(state, "/dev/null");
}

// For comparison: the tool too keeps the bytes in memory, as a file in a memory file system.
void BM_CurlToolToMemoryFile64MiB(benchmark::State& state)
{
    curlTool(state, "/dev/shm/sornel-fetch-bench");
    std::remove("/dev/shm/sornel-fetch-bench");
}

void BM_StopWhileServerIsSilent(benchmark::State& state)
{
    RawServer silent([](int, const std::string&, const std::atomic<bool>& stopping) {
        RawServer::waitUntil(stopping);
    });
    for (auto _ : state) {
        std::stop_source stop;
        auto fetch = std::async(std::launch::async, [&] {
            return sornel::PageFetcher::fetch(silent.url("/"), stop.get_token());
        });
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        const auto requested = Clock::now();
        stop.request_stop();
        fetch.wait();
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - requested).count());
    }
}

BENCHMARK(BM_PageFetcher64MiB)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();
BENCHMARK(BM_CurlTool64MiB)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();
BENCHMARK(BM_CurlToolToMemoryFile64MiB)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();
BENCHMARK(BM_StopWhileServerIsSilent)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20);

class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            if (!run.error_occurred &&
                (run.run_type == Run::RT_Iteration || run.aggregate_name == "median")) {
                seconds[run.run_name.function_name] =
                    run.real_accumulated_time / static_cast<double>(run.iterations);
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> seconds;
};

} // namespace

int main(int argc, char** argv)
{
    // libcurl's own buffers count too.
    curl_global_init_mem(CURL_GLOBAL_DEFAULT, sornel::bench::countedMalloc,
                         sornel::bench::countedFree, sornel::bench::countedRealloc,
                         sornel::bench::countedStrdup, sornel::bench::countedCalloc);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    const auto& s = reporter.seconds;
    std::printf("\n");
    if (s.count("BM_PageFetcher64MiB") != 0 && s.count("BM_CurlTool64MiB") != 0) {
        std::printf("  %-48s %6.2f   (goal >= 0.8)\n", "throughput, fetcher / curl tool",
                    s.at("BM_CurlTool64MiB") / s.at("BM_PageFetcher64MiB"));
        std::printf("  %-48s %6.2f   (goal <= 1.5)\n", "fetcher peak memory / body size",
                    peakRatio);
    }
    if (s.count("BM_PageFetcher64MiB") != 0 && s.count("BM_CurlToolToMemoryFile64MiB") != 0) {
        std::printf("  %-48s %6.2f\n", "throughput, fetcher / curl tool to a memory file",
                    s.at("BM_CurlToolToMemoryFile64MiB") / s.at("BM_PageFetcher64MiB"));
    }
    if (s.count("BM_StopWhileServerIsSilent") != 0) {
        std::printf("  %-48s %6.2f   (goal < 50 ms)\n", "stop to return, silent server, ms",
                    s.at("BM_StopWhileServerIsSilent") * 1000);
    }
    benchmark::Shutdown();
    curl_global_cleanup();
    return 0;
}
