#include "monitor/byte_search.h"

#if defined(__GLIBC__)
#include <string.h> // memmem, a GNU extension
#else
#include <algorithm>
#include <functional>
#endif

namespace sornel {

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

} // namespace sornel
