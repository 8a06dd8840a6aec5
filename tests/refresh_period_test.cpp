#include "gbk_literals.h"
#include "monitor/refresh_period.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <limits>

namespace sornel {
namespace {

using test::gbk;

struct PeriodCase {
    const char* cell; // UTF-8 in the table, GBK to the function
    std::int64_t pauseMs;
};

TEST(RefreshPauseTest, ReadsMinutes)
{
    constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
    constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
    const PeriodCase cases[] = {
        {"1", 60000},
        {"10", 600000},
        {"0", 0},
        {"", 0},
        {"abc", 0},
        {"  5", 300000},
        {"\t\n7", 420000},
        {"+3", 180000},
        {"-2", -120000},
        {"12abc", 720000},
        {"1 2", 60000},
        {"１５", 900000},  // full-width digits
        {"　５", 300000},  // full-width space
        {"＋２", 120000},  // full-width plus
        {"－２", -120000}, // full-width minus
        {"1５", 900000},
        {"分钟5", 0},
        {"35791", 2147460000}, // the largest that fits 32 bits
        {"35792", 2147520000}, // no longer wraps
        {"4294967296", 257698037760000},
        {"153722867280912930", kMax},
        {"99999999999999999999999", kMax},
        {"-99999999999999999999999", kMin},
    };
    for (const PeriodCase& c : cases) {
        EXPECT_EQ(refreshPauseMs(gbk(c.cell)), c.pauseMs) << c.cell;
    }
}

TEST(RefreshPauseTest, OtherLengthsOfAMinuteSaturateToo)
{
    EXPECT_EQ(refreshPauseMs("3", 50), 150);
    EXPECT_EQ(refreshPauseMs("-3", 50), -150);
    EXPECT_EQ(refreshPauseMs("99999999999999999999", 50), std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(refreshPauseMs("3", 0), 0);
}

TEST(RefreshPauseTest, FullWidthFormsOnlyAtCharacterBoundaries)
{
    // B0 A3 is one character; the A3 B5 after it is the full-width 5, the A3 inside is not.
    EXPECT_EQ(refreshPauseMs("\xA3\xB5\xA3\xB1"), 51 * 60000);
    EXPECT_EQ(refreshPauseMs("\xB0\xA3\xB5"), 0);
}

} // namespace
} // namespace sornel
