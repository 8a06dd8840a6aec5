#pragma once

#include "monitor/monitor_timing.h"
#include "monitor/worker_slot.h"

#include <array>
#include <functional>
#include <memory>

namespace sornel {

class ElapsedClock;
class EntryList;
class UiWorkerHost;

// The three worker slots of the main window and the bridge their workers reach the window
// through. Everything here runs on the user-interface thread, which never waits for a worker.
class Monitoring {
public:
    Monitoring(EntryList& list, ElapsedClock& clock);
    // Ends every worker, without waiting for any.
    ~Monitoring();
    Monitoring(const Monitoring&) = delete;
    Monitoring& operator=(const Monitoring&) = delete;

    EntryList& list() { return list_; }
    ElapsedClock& clock() { return clock_; }
    WorkerSlot& slot(int index) { return slots_[static_cast<std::size_t>(index)]; }
    std::shared_ptr<UiWorkerHost> host() const { return host_; }
    const MonitorTiming& timing() const { return timing_; }

    // Ends the workers of all three slots.
    void endAll();

    // Tests only: shorter waits, and a stand-in for the alert sound.
    void setTimingForTesting(const MonitorTiming& timing) { timing_ = timing; }
    void setSoundForTesting(std::function<void()> play);

private:
    EntryList& list_;
    ElapsedClock& clock_;
    std::shared_ptr<UiWorkerHost> host_;
    MonitorTiming timing_;
    std::array<WorkerSlot, 3> slots_{WorkerSlot(0), WorkerSlot(1), WorkerSlot(2)};
};

// The command behind "开始监控": starts the clock and a worker for each of rows 0 to 2 that holds
// an entry not yet found; on an empty list only says so.
void startMonitoring(Monitoring& monitoring);

// The command behind "停止监控": stops the clock, marks rows 0 to 2 "停止" and ends every worker.
void stopMonitoring(Monitoring& monitoring);

// Plays the alert clip once, from the program's resources, without cutting off one still
// playing; without a sound device nothing happens.
void playAlertSound();

} // namespace sornel
