#pragma once

#include <atomic>

namespace sornel {

// The one process-wide request to every running worker to end at the top of its next pass:
// 0 at program start, set to 1 by the modify command, cleared by each worker as it enters its
// loop of passes. Read and written by all threads without a lock.
class StopFlag {
public:
    static int get() { return value_.load(); }
    static void set(int value) { value_.store(value); }

private:
    static inline std::atomic<int> value_{0};
};

} // namespace sornel
