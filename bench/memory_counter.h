#pragma once

// Counts the memory a benchmark process holds: every operator new, and the C libraries'
// allocations when they are routed here (ICU through u_setMemoryFunctions, libcurl through
// curl_global_init_mem). Linking memory_counter.cpp replaces the global operator new.

#include <cstddef>

namespace sornel::bench {

std::size_t liveBytes();
// Starts a new measurement; returns the bytes live right now.
std::size_t startPeak();
// The most bytes live at any moment since startPeak.
std::size_t peakBytes();

void* countedMalloc(std::size_t size);
void* countedCalloc(std::size_t count, std::size_t size);
void* countedRealloc(void* p, std::size_t size);
void countedFree(void* p);
char* countedStrdup(const char* text);

} // namespace sornel::bench
