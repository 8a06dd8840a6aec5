#pragma once

// The fixed texts that entry list cells hold, in GBK, shared by the window, the editor and the
// workers.

#include <string_view>

namespace sornel::cell {

inline constexpr std::string_view kStopped = "\xCD\xA3\xD6\xB9";                   // 停止
inline constexpr std::string_view kWatching = "\xBC\xE0\xBF\xD8\xD6\xD0";          // 监控中
inline constexpr std::string_view kYes = "\xCA\xC7";                               // 是
inline constexpr std::string_view kNo = "\xB7\xF1";                                // 否
inline constexpr std::string_view kRelationAll = "\xD3\xEB";                       // 与
inline constexpr std::string_view kRelationAny = "\xBB\xF2";                       // 或
inline constexpr std::string_view kRelationSameTable = "\xCD\xAC\xD2\xBB\xD0\xD0"; // 同一行

} // namespace sornel::cell
