#include "monitor/worker_slot.h"

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
                MonitorWorker::run(slot, std::move(stop), *host, timing);
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
