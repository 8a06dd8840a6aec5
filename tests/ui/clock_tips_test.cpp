#include "app/elapsed_clock.h"
#include "app/tips_ticker.h"
#include "ui_test_support.h"

#include <QLabel>
#include <QLineEdit>
#include <gtest/gtest.h>

namespace sornel {
namespace {

class ClockTest : public testing::Test {
protected:
    // Ticks until the display shows `shown` (or a bound is reached) and returns the text before.
    QString tickUntil(const QString& shown)
    {
        QString before = display.text();
        for (int i = 0; i < 400000 && display.text() != shown; ++i) {
            before = display.text();
            clock.tick();
        }
        return before;
    }

    QLineEdit display{QStringLiteral("00:00:00")};
    ElapsedClock clock{display};
};

TEST_F(ClockTest, TickSequence)
{
    clock.start();
    EXPECT_TRUE(clock.isRunning());
    EXPECT_EQ(display.text(), "00:00:00");
    clock.tick();
    EXPECT_EQ(display.text(), "00:00:01");
    EXPECT_EQ(tickUntil("00:01:00"), "00:00:59");
    EXPECT_EQ(tickUntil("01:00:00"), "00:59:59");
    EXPECT_EQ(tickUntil("99:00:00"), "98:59:59");
    EXPECT_FALSE(clock.isRunning()) << "99:00:00 is the last value";
    EXPECT_EQ(clock.hours(), 99);
}

TEST_F(ClockTest, StopKeepsTheDisplayAndStartCountsAfresh)
{
    clock.start();
    for (int i = 0; i < 197; ++i) {
        clock.tick();
    }
    EXPECT_EQ(display.text(), "00:03:17");
    clock.stop();
    EXPECT_FALSE(clock.isRunning());
    EXPECT_EQ(display.text(), "00:03:17");
    EXPECT_EQ(clock.seconds() + clock.minutes() + clock.hours(), 0);
    clock.stop(); // a second stop changes nothing
    EXPECT_EQ(display.text(), "00:03:17");
    clock.start();
    EXPECT_EQ(display.text(), "00:00:00");
    clock.tick();
    EXPECT_EQ(display.text(), "00:00:01");
}

TEST_F(ClockTest, StartWhileRunningCountsFromZeroAgain)
{
    clock.start();
    for (int i = 0; i < 30; ++i) {
        clock.tick();
    }
    clock.start();
    EXPECT_EQ(display.text(), "00:00:00");
    clock.tick();
    EXPECT_EQ(display.text(), "00:00:01") << "the display and the count agree";
}

TEST_F(ClockTest, TypedTextStaysWhileStoppedAndIsOverwrittenWhileRunning)
{
    display.setText("typed");
    clock.stop();
    EXPECT_EQ(display.text(), "typed");
    clock.start();
    display.setText("typed");
    clock.tick();
    EXPECT_EQ(display.text(), "00:00:01");
}

TEST(TipsTickerTest, TipsTextAndCycle)
{
    EXPECT_EQ(TipsTicker::tipsText().size(), 701u);
    QLabel line(QStringLiteral("welcome"));
    TipsTicker ticker(line);
    ticker.start();
    EXPECT_EQ(ticker.periodMs(), 20000);
    ASSERT_EQ(ticker.tips().size(), 8u);
    EXPECT_EQ(line.text(), "welcome") << "until the first tick";
    std::vector<QString> shown;
    for (int i = 0; i < 18; ++i) {
        ticker.tick();
        shown.push_back(line.text());
    }
    EXPECT_TRUE(shown[0].startsWith(QStringLiteral(">>> 程序通过【增加】")));
    EXPECT_TRUE(shown[7].startsWith(QStringLiteral(">>> 列表中“监控方式”【同一行】用于")));
    EXPECT_EQ(shown[8], shown[7]) << "the ninth tick only resets the index";
    EXPECT_EQ(ticker.index(), 0) << "the eighteenth tick ended the second cycle";
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(shown[static_cast<std::size_t>(i + 9)], shown[static_cast<std::size_t>(i)]);
    }
}

TEST(TipsTickerTest, EmptyListKeepsTheLine)
{
    QLabel line(QStringLiteral("welcome"));
    TipsTicker ticker(line);
    ticker.start();
    ticker.release();
    for (int i = 0; i < 3; ++i) {
        ticker.tick();
        EXPECT_EQ(ticker.index(), 0);
    }
    EXPECT_EQ(line.text(), "welcome");
}

} // namespace
} // namespace sornel
