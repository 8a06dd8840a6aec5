#pragma once

#include "monitor/monitor_timing.h"

#include <chrono>
#include <stop_token>

namespace sornel {

class WorkerHost;

// The body of the worker of one slot, watching the row of the same number: it marks the row
// "监控中", waits its start delay, reads the row's settings once and then works in passes
// (download, decode, count the hits, raise an alert per hit, sleep the refresh period) until its
// row is marked found, StopFlag asks it to end, or it is ended from outside through `stop`.
struct MonitorWorker {
    static void run(int slot, std::stop_token stop, WorkerHost& host, const MonitorTiming& timing);
};

// Sleeps `duration` (any length, 0 or less not at all) unless `stop` is requested first;
// returns false when stopped.
bool sleepUnlessStopped(const std::stop_token& stop, std::chrono::milliseconds duration);

} // namespace sornel
