#include "memory_counter.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>

namespace sornel::bench {

namespace {

std::atomic<std::size_t> live{0};
std::atomic<std::size_t> peak{0};

// Each block carries its size in a header so that frees can be counted.
constexpr std::size_t kHeader = alignof(std::max_align_t);

void noteAllocated(std::size_t size)
{
    const std::size_t now = live.fetch_add(size) + size;
    std::size_t seen = peak.load();
    while (now > seen && !peak.compare_exchange_weak(seen, now)) {
    }
}

std::size_t blockSize(void* p)
{
    std::size_t size = 0;
    std::memcpy(&size, static_cast<unsigned char*>(p) - kHeader, sizeof size);
    return size;
}

} // namespace

std::size_t liveBytes()
{
    return live.load();
}

std::size_t startPeak()
{
    const std::size_t now = live.load();
    peak.store(now);
    return now;
}

std::size_t peakBytes()
{
    return peak.load();
}

void* countedMalloc(std::size_t size)
{
    auto* block = static_cast<unsigned char*>(std::malloc(size + kHeader));
    if (block == nullptr) {
        return nullptr;
    }
    std::memcpy(block, &size, sizeof size);
    noteAllocated(size);
    return block + kHeader;
}

void* countedCalloc(std::size_t count, std::size_t size)
{
    void* p = countedMalloc(count * size);
    if (p != nullptr) {
        std::memset(p, 0, count * size);
    }
    return p;
}

void countedFree(void* p)
{
    if (p == nullptr) {
        return;
    }
    live.fetch_sub(blockSize(p));
    std::free(static_cast<unsigned char*>(p) - kHeader);
}

void* countedRealloc(void* p, std::size_t size)
{
    if (p == nullptr) {
        return countedMalloc(size);
    }
    const std::size_t old = blockSize(p);
    void* moved = countedMalloc(size);
    if (moved != nullptr) {
        std::memcpy(moved, p, old < size ? old : size);
        countedFree(p);
    }
    return moved;
}

char* countedStrdup(const char* text)
{
    const std::size_t length = std::strlen(text) + 1;
    auto* copy = static_cast<char*>(countedMalloc(length));
    if (copy != nullptr) {
        std::memcpy(copy, text, length);
    }
    return copy;
}

} // namespace sornel::bench

void* operator new(std::size_t size)
{
    if (void* p = sornel::bench::countedMalloc(size)) {
        return p;
    }
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept
{
    sornel::bench::countedFree(p);
}
void operator delete(void* p, std::size_t) noexcept
{
    sornel::bench::countedFree(p);
}
