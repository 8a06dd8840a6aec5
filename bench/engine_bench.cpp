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

// ---- The pages and the words. ----

namespace {

constexpr std::size_t kPageSize = 8u << 20;

// Two kinds of page: a markup-heavy listing, and a Chinese-heavy one with tens of thousands of
// small tables.
enum Page { kMarkup, kChinese };
constexpr const char* kPageNames[] = {"markup", "chinese"};

const std::string& utf8Page(Page which)
{
    static const std::string markup = sornel::bench::makeListingPage(kPageSize);
    static const std::string chinese = sornel::bench::makeChineseListingPage(kPageSize);
    return which == kMarkup ? markup : chinese;
}

const std::string& gbkPage(Page which)
{
    static const std::string markup = sornel::PageTextDecoder::decode(utf8Page(kMarkup));
    static const std::string chinese = sornel::PageTextDecoder::decode(utf8Page(kChinese));
    return which == kMarkup ? markup : chinese;
}

// Four bytes that occur nowhere on either page: two characters the pages never use.
const std::string kAbsentKeyword = sornel::GbkCodec::fromUtf8("鑫淼");

// On the markup page all three are in one table of fifty; on the Chinese page most tables hold
// the first two and none the third.
const char* const kSameTableKeywords = "笔记本|九成新|价格面议";

Page pageOf(const benchmark::State& state)
{
    return static_cast<Page>(state.range(0));
}

void BM_Decode(benchmark::State& state)
{
    const std::string& page = utf8Page(pageOf(state));
    for (auto _ : state) {
        benchmark::DoNotOptimize(sornel::PageTextDecoder::decode(page));
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(page.size()));
}

void BM_IconvUtf8ToGbk(benchmark::State& state)
{
    const std::string& page = utf8Page(pageOf(state));
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
    const std::string& page = gbkPage(pageOf(state));
    for (auto _ : state) {
        benchmark::DoNotOptimize(sornel::findText(page, kAbsentKeyword));
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(page.size()));
}

void BM_MemmemAbsent(benchmark::State& state)
{
    const std::string& page = gbkPage(pageOf(state));
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            memmem(page.data(), page.size(), kAbsentKeyword.data(), kAbsentKeyword.size()));
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(page.size()));
}

void BM_SameTableThreeKeywords(benchmark::State& state)
{
    const std::string& page = gbkPage(pageOf(state));
    const sornel::KeywordMatcher matcher(sornel::GbkCodec::fromUtf8(kSameTableKeywords),
                                         sornel::GbkCodec::fromUtf8("同一行"));
    int hits = 0;
    for (auto _ : state) {
        hits = matcher.countHits(page);
        benchmark::DoNotOptimize(hits);
    }
    state.counters["hits"] = hits;
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(page.size()));
}

// Each on both pages, warmed up first: the first calls in a process pay for touching fresh
// memory, which is not what is measured here.
void registerOnBothPages(const char* name, void (*function)(benchmark::State&))
{
    for (const Page page : {kMarkup, kChinese}) {
        benchmark::RegisterBenchmark((std::string(name) + "/" + kPageNames[page]).c_str(), function)
            ->Arg(page)
            ->MinWarmUpTime(0.3)
            ->Unit(benchmark::kMillisecond);
    }
}

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

void printRatio(const RatioReporter& r, const char* what, const std::string& ours,
                const std::string& theirs, const char* goal)
{
    const auto a = r.seconds.find(ours);
    const auto b = r.seconds.find(theirs);
    if (a == r.seconds.end() || b == r.seconds.end()) {
        return;
    }
    std::printf("  %-48s %6.2f   (%s)\n", what, b->second / a->second, goal);
}

void printDecoderMemory(Page which)
{
    const std::string& page = utf8Page(which);
    const std::size_t before = sornel::bench::startPeak();
    {
        const std::string text = sornel::PageTextDecoder::decode(page);
        benchmark::DoNotOptimize(text.data());
    }
    const double extra = static_cast<double>(sornel::bench::peakBytes() - before);
    std::printf("  %-48s %6.2f   (goal <= 4 bytes per input byte)\n",
                "decode peak extra memory, bytes per input byte",
                extra / static_cast<double>(page.size()));
}

} // namespace

int main(int argc, char** argv)
{
    UErrorCode status = U_ZERO_ERROR;
    u_setMemoryFunctions(nullptr, icuAlloc, icuRealloc, icuFree, &status);

    registerOnBothPages("decode", BM_Decode);
    registerOnBothPages("iconv", BM_IconvUtf8ToGbk);
    registerOnBothPages("findText", BM_FindTextAbsent);
    registerOnBothPages("memmem", BM_MemmemAbsent);
    registerOnBothPages("sameTable", BM_SameTableThreeKeywords);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    for (const Page page : {kMarkup, kChinese}) {
        std::size_t high = 0;
        for (const char c : utf8Page(page)) {
            high += static_cast<unsigned char>(c) >= 0x80 ? 1 : 0;
        }
        std::printf("%s page: %zu bytes of UTF-8 (%.0f %% in Chinese characters), %zu bytes of "
                    "GBK after decoding\n",
                    kPageNames[page], utf8Page(page).size(),
                    100.0 * static_cast<double>(high) / static_cast<double>(utf8Page(page).size()),
                    gbkPage(page).size());
    }
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    std::printf("\nratios (speed of ours / speed of the reference; higher is faster):\n");
    for (const Page page : {kMarkup, kChinese}) {
        const std::string name = kPageNames[page];
        std::printf("%s page:\n", name.c_str());
        printRatio(reporter, "decode vs iconv UTF-8 -> GBK", "decode/" + name, "iconv/" + name,
                   page == kMarkup ? "goal >= 2.0" : "goal >= 1.5");
        printRatio(reporter, "findText vs memmem, absent 4-byte keyword", "findText/" + name,
                   "memmem/" + name, "goal >= 0.5, i.e. memmem's speed");
        printRatio(reporter, "same-table 3 keywords vs one findText pass", "sameTable/" + name,
                   "findText/" + name, "goal >= 0.5, i.e. within 2x");
        printDecoderMemory(page);
    }
    benchmark::Shutdown();
    return 0;
}
