#pragma once

// The one place in the engine that uses what a particular C library or kernel offers beyond
// standard C++, each with a portable fallback.

#include <cstddef>
#include <string_view>

namespace sornel::platform {

// Byte-exact substring search with no notion of characters: the offset of the first
// occurrence of `needle` in `haystack`, or std::string_view::npos. `needle` must not be empty.
std::size_t findBytes(std::string_view haystack, std::string_view needle);

// The offset of the last `byte` in `haystack`, or std::string_view::npos.
std::size_t findLastByte(std::string_view haystack, char byte);

// A hint that the `size` bytes at `data`, a large buffer about to be filled, should be backed
// by huge pages where the system offers them: filling tens of megabytes of fresh memory then
// costs a few dozen page faults instead of thousands. Does nothing elsewhere.
void preferHugePages(void* data, std::size_t size);

} // namespace sornel::platform
