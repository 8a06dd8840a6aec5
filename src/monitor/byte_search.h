#pragma once

#include <cstddef>
#include <string_view>

namespace sornel {

// Byte-exact substring search with no notion of characters: the offset of the first
// occurrence of `needle` in `haystack`, or std::string_view::npos. `needle` must not be empty.
// This is the one place that picks the fastest search the C library offers.
std::size_t findBytes(std::string_view haystack, std::string_view needle);

} // namespace sornel
