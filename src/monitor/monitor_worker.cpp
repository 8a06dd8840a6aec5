#include "monitor/monitor_worker.h"

#include "monitor/cell_texts.h"
#include "monitor/entry_column.h"
#include "monitor/hit_alert.h"
#include "monitor/keyword_matcher.h"
#include "monitor/page_fetcher.h"
#include "monitor/page_text_decoder.h"
#include "monitor/refresh_period.h"
#include "monitor/stop_flag.h"
#include "monitor/worker_host.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <optional>

namespace sornel {

namespace {

using std::chrono::milliseconds;

// The pause after each pass at the given length of a minute: 0 or less means none.
milliseconds pauseFor(std::string_view periodCell, milliseconds minute)
{
    return std::max(milliseconds(refreshPauseMs(periodCell, minute.count())), milliseconds(0));
}

} // namespace

bool sleepUnlessStopped(const std::stop_token& stop, milliseconds duration)
{
    using Clock = std::chrono::steady_clock;
    // Waited in steps of at most a day, so that no deadline ever overflows the clock.
    constexpr milliseconds kStep = std::chrono::hours(24);
    std::mutex mutex;
    std::condition_variable_any wake;
    std::unique_lock lock(mutex);
    while (duration > milliseconds(0)) {
        const milliseconds step = std::min(duration, kStep);
        const Clock::time_point start = Clock::now();
        // Nothing but the stop wakes this wait early.
        wake.wait_until(lock, stop, start + step, [] { return false; });
        if (stop.stop_requested()) {
            return false;
        }
        duration -= std::max(step, std::chrono::duration_cast<milliseconds>(Clock::now() - start));
    }
    return !stop.stop_requested();
}

void MonitorWorker::run(int slot, std::stop_token stop, WorkerHost& host,
                        const MonitorTiming& timing)
{
    const int row = slot;
    const auto cell = [&](EntryColumn c) { return host.cellText(stop, row, column(c)); };
    const auto write = [&](EntryColumn c, std::string_view text) {
        return host.setCellText(stop, row, column(c), std::string(text));
    };

    if (!write(EntryColumn::Status, cell::kWatching)) {
        return;
    }
    if (!sleepUnlessStopped(stop, timing.startDelays[static_cast<std::size_t>(slot)])) {
        return;
    }
    const std::optional<std::string> address = cell(EntryColumn::Address);
    const std::optional<std::string> keywords = cell(EntryColumn::Keywords);
    const std::optional<std::string> period = cell(EntryColumn::Period);
    const std::optional<std::string> relation = cell(EntryColumn::Relation);
    const std::optional<std::string> sound = cell(EntryColumn::Sound);
    if (!address || !keywords || !period || !relation || !sound) {
        return;
    }
    const KeywordMatcher matcher(*keywords, *relation);
    const milliseconds pause = pauseFor(*period, timing.minute);
    const std::string header = HitAlert::header(slot, *relation);
    const bool playSound = *sound != cell::kNo;
    StopFlag::set(0);

    for (;;) {
        const std::optional<std::string> found = cell(EntryColumn::Found);
        if (!found || *found == cell::kYes) {
            return;
        }
        if (StopFlag::get() == 1) {
            // Asked to end: say so in the row, which nobody watches any more.
            write(EntryColumn::Status, cell::kStopped);
            return;
        }
        const std::string page = PageTextDecoder::decode(PageFetcher::fetch(*address, stop));
        if (stop.stop_requested()) {
            return;
        }
        const int hits = matcher.countHits(page);
        for (int i = 0; i < hits; ++i) {
            if (!HitAlert::raise(host, stop, row, header, *address, *keywords, playSound)) {
                return;
            }
        }
        if (!sleepUnlessStopped(stop, pause)) {
            return;
        }
    }
}

} // namespace sornel
