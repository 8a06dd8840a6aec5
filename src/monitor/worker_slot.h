#pragma once

#include "monitor/monitor_timing.h"

#include <atomic>
#include <memory>
#include <thread>

namespace sornel {

class WorkerHost;

// One of the three places a worker runs in; slot k watches row k. A slot holds at most one
// worker: starting a new one first ends the one before. Ending never waits for the thread: the
// worker stops touching anything at once and its thread finishes on its own. An exception that
// escapes the worker ends that worker alone, its row marked "停止".
class WorkerSlot {
public:
    explicit WorkerSlot(int index) : index_(index) {}
    ~WorkerSlot() { end(); }
    WorkerSlot(const WorkerSlot&) = delete;
    WorkerSlot& operator=(const WorkerSlot&) = delete;

    int index() const { return index_; }
    void start(std::shared_ptr<WorkerHost> host, const MonitorTiming& timing);
    void end();
    bool holdsWorker() const { return thread_.joinable(); }

    // Worker threads of all slots that have not finished yet, ended or not.
    static int threadsAlive() { return alive_.load(); }

private:
    int index_;
    std::jthread thread_;
    static inline std::atomic<int> alive_{0};
};

} // namespace sornel
