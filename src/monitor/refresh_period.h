#pragma once

#include <cstdint>
#include <string_view>

namespace sornel {

// The pause between two passes of a worker, in milliseconds, read from the entry's period cell
// (GBK, in minutes): full-width digits, signs and spaces count as their ASCII forms; leading
// white space is skipped, an optional sign and the digits that follow are read; no digits give 0.
// The result is minutes x `msPerMinute` (60000 but in tests), saturated to the int64 range
// instead of wrapping.
std::int64_t refreshPauseMs(std::string_view periodCell, std::int64_t msPerMinute = 60000);

} // namespace sornel
