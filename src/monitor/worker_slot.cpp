#include "monitor/worker_slot.h"

#include "monitor/cell_texts.h"
#include "monitor/entry_column.h"
#include "monitor/monitor_worker.h"
#include "monitor/worker_host.h"

#include <system_error>

namespace sornel {

void WorkerSlot::start(std::shared_ptr<WorkerHost> host, const MonitorTiming& timing)
{
    end();
    ++alive_;
    try {
        // The thread keeps the host and its own copy of the timing for as long as it runs.
        thread_ =
            std::jthread([slot = index_, host = std::move(host), timing](std::stop_token stop) {
                try {
                    MonitorWorker::run(slot, stop, *host, timing);
                } catch (...) {
                    // Whatever escapes (memory running out, say) ends this worker only. Its row
                    // says so, through the same path as every write, so nothing is written
                    // once the worker has been ended.
                    try {
                        host->setCellText(stop, slot, column(EntryColumn::Status),
                                          std::string(cell::kStopped));
                    } catch (...) {
                    }
                }
                --alive_;
            });
    } catch (const std::system_error&) {
        // A thread that cannot be created is simply missing.
        --alive_;
    }
}

void WorkerSlot::end()
{
    if (thread_.joinable()) {
        thread_.request_stop();
        thread_.detach();
    }
}

} // namespace sornel
