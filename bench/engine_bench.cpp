// The text engine on an 8 MiB listing page, side by side with the C library doing the same
// kind of work: decode against iconv (UTF-8 to GBK), findText against memmem, and the
// same-table relation against one findText pass. Prints throughput, then the ratios and the
// decoder's peak memory.

#include "bench_page.h"
#include "memory_counter.h"
#include "monitor/gbk_codec.h"
#include "monitor/gbk_text.h"
#include "monitor/keyword_matcher.h"
#include "monitor/page_text_decoder.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <iconv.h>
#include <map>
#include <string.h> // memmem
#include <string>
#include <unicode/uclean.h>

namespace {

void* U_CALLCONV icuAlloc(const void*, size_t size)
{
    return sornel::bench::countedMalloc(size);
}
void* U_CALLCONV icuRealloc(const void*, void* p, size_t size)
{
    return sornel::bench::countedRealloc(p, size);
}
void U_CALLCONV icuFree(const void*, void* p)
{
    sornel::bench::countedFree(p);
}

} // namespace

// ---- The page and the words. ----

namespace {

constexpr std::size_t kPageSize = 8u << 20;

const std::string& utf8Page()
{
    static const std::string page = sornel::bench::makeListingPage(kPageSize);
    return page;
}

const std::string& gbkPage()
{
    static const std::string page = sornel::PageTextDecoder::decode(utf8Page());
    return page;
}

// Four bytes that occur nowhere on the page: two characters the page never uses.
const std::string kAbsentKeyword = sornel::GbkCodec::fromUtf8("鑫淼");

void BM_Decode(benchmark::State& state)
{
    const std::string& page = utf8Page();
    for (auto _ : state) {
        benchmark::DoNotOptimize(sornel::PageTextDecoder::decode(page));
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(page.size()));
}

void BM_IconvUtf8ToGbk(benchmark::State& state)
{
    const std::string& page = utf8Page();
    iconv_t cd = iconv_open("GBK", "UTF-8");
    std::string out(page.size(), '\0');
    for (auto _ : state) {
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        char* in = const_cast<char*>(page.data());
        std::size_t inLeft = page.size();
        char* target = out.data();
        std::size_t outLeft = out.size();
        if (iconv(cd, &in, &inLeft, &target, &outLeft) == static_cast<std::size_t>(-1)) {
            state.SkipWithError("iconv stopped");
            break;
        }
        benchmark::DoNotOptimize(target);
    }
    iconv_close(cd);
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(page.size()));
}

void BM_FindTextAbsent(benchmark::State& state)
{
    const std::string& page = gbkPage();
    for (auto _ : state) {
        benchmark::DoNotOptimize(sornel::findText(page, kAbsentKeyword));
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(page.size()));
}

void BM_MemmemAbsent(benchmark::State& state)
{
    const std::string& page = gbkPage();
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            memmem(page.data(), page.size(), kAbsentKeyword.data(), kAbsentKeyword.size()));
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(page.size()));
}

void BM_SameTableThreeKeywords(benchmark::State& state)
{
    const std::string& page = gbkPage();
    const sornel::KeywordMatcher matcher(sornel::GbkCodec::fromUtf8("笔记本|九成新|价格面议"),
                                         sornel::GbkCodec::fromUtf8("同一行"));
    int hits = 0;
    for (auto _ : state) {
        hits = matcher.countHits(page);
        benchmark::DoNotOptimize(hits);
    }
    state.counters["hits"] = hits;
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(page.size()));
}

BENCHMARK(BM_Decode)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IconvUtf8ToGbk)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindTextAbsent)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MemmemAbsent)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SameTableThreeKeywords)->Unit(benchmark::kMillisecond);

// Keeps each benchmark's time per iteration for the ratios.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            // With repetitions, the median stands for the benchmark.
            if (run.error_occurred) {
                continue;
            }
            if (run.run_type == Run::RT_Iteration) {
                seconds.emplace(run.run_name.function_name, run.GetAdjustedRealTime());
            } else if (run.aggregate_name == "median") {
                seconds[run.run_name.function_name] = run.GetAdjustedRealTime();
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> seconds;
};

void printRatio(const RatioReporter& r, const char* what, const char* ours, const char* theirs,
                const char* goal)
{
    const auto a = r.seconds.find(ours);
    const auto b = r.seconds.find(theirs);
    if (a == r.seconds.end() || b == r.seconds.end()) {
        return;
    }
    std::printf("  %-44s %6.2f   (%s)\n", what, b->second / a->second, goal);
}

void printDecoderMemory()
{
    const std::string& page = utf8Page();
    const std::size_t before = sornel::bench::startPeak();
    {
        const std::string text = sornel::PageTextDecoder::decode(page);
        benchmark::DoNotOptimize(text.data());
    }
    const double extra = static_cast<double>(sornel::bench::peakBytes() - before);
    std::printf("  %-44s %6.2f   (goal <= 4 bytes per input byte)\n",
                "decode peak extra memory, bytes per input byte",
                extra / static_cast<double>(page.size()));
}

} // namespace

int main(int argc, char** argv)
{
    UErrorCode status = U_ZERO_ERROR;
    u_setMemoryFunctions(nullptr, icuAlloc, icuRealloc, icuFree, &status);

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    std::printf("page: %zu bytes of UTF-8, %zu bytes of GBK after decoding\n", utf8Page().size(),
                gbkPage().size());
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    std::printf("\nratios (speed of ours / speed of the reference; higher is faster):\n");
    printRatio(reporter, "decode vs iconv UTF-8 -> GBK", "BM_Decode", "BM_IconvUtf8ToGbk",
               "goal >= 1.0");
    printRatio(reporter, "findText vs memmem, absent 4-byte keyword", "BM_FindTextAbsent",
               "BM_MemmemAbsent", "goal >= 0.5");
    printRatio(reporter, "same-table 3 keywords vs one findText pass", "BM_SameTableThreeKeywords",
               "BM_FindTextAbsent", "goal >= 0.33, i.e. within 3x");
    printDecoderMemory();
    benchmark::Shutdown();
    return 0;
}
