#include "monitor/platform.h"

#if defined(__GLIBC__)
#include <string.h> // memmem and memrchr, GNU extensions
#else
#include <algorithm>
#include <functional>
#endif

#if defined(__linux__)
#include <cstdint>
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace sornel::platform {

std::size_t findBytes(std::string_view haystack, std::string_view needle)
{
    if (needle.size() > haystack.size()) {
        return std::string_view::npos;
    }
#if defined(__GLIBC__)
    // glibc's memmem skips ahead with a two-byte hash and is much faster than a memchr on the
    // first byte when that byte is common, as the lead bytes of Chinese text are.
    const void* hit = memmem(haystack.data(), haystack.size(), needle.data(), needle.size());
    if (hit == nullptr) {
        return std::string_view::npos;
    }
    return static_cast<std::size_t>(static_cast<const char*>(hit) - haystack.data());
#else
    const auto it = std::search(haystack.begin(), haystack.end(),
                                std::boyer_moore_horspool_searcher(needle.begin(), needle.end()));
    return it == haystack.end() ? std::string_view::npos
                                : static_cast<std::size_t>(it - haystack.begin());
#endif
}

std::size_t findLastByte(std::string_view haystack, char byte)
{
#if defined(__GLIBC__)
    const void* hit = memrchr(haystack.data(), static_cast<unsigned char>(byte), haystack.size());
    return hit == nullptr
               ? std::string_view::npos
               : static_cast<std::size_t>(static_cast<const char*>(hit) - haystack.data());
#else
    return haystack.rfind(byte);
#endif
}

void preferHugePages(void* data, std::size_t size)
{
#if defined(MADV_HUGEPAGE)
    // madvise wants whole pages: only the pages that lie entirely inside the buffer.
    const auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    const auto begin = reinterpret_cast<std::uintptr_t>(data);
    const std::uintptr_t first = (begin + page - 1) / page * page;
    const std::uintptr_t last = (begin + size) / page * page;
    if (last > first) {
        madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
    }
#else
    (void)data;
    (void)size;
#endif
}

} // namespace sornel::platform
