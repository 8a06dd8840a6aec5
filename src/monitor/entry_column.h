#pragma once

namespace sornel {

// The eight cells of a row of the entry list, by column number.
enum class EntryColumn : int {
    Number = 0,   // 序号: the row's index when it was added, plus 1
    Status = 1,   // 监控状态: 停止 or 监控中
    Address = 2,  // 监控网页地址
    Keywords = 3, // 关键词, separated by |
    Sound = 4,    // 声音报警: 是 or 否
    Period = 5,   // 刷新频率, minutes as typed
    Relation = 6, // 监控方式: 与, 或 or 同一行
    Found = 7,    // 发现: 否 or 是
};

inline constexpr int kEntryColumnCount = 8;

constexpr int column(EntryColumn c)
{
    return static_cast<int>(c);
}

} // namespace sornel
