#include "clock/CycleClock.h"

#include "platform/RuntimeError.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace korvane {
namespace {

const std::string refresh = "现在刷价";

struct TickRow {
    int tick;
    int steps; // position × 6 after the tick
    int bar;
    const char* text;
};

// Counted from reset, tick by tick.
const TickRow tickRows[] = {
    {1, 1, 0, "距离下一次刷价还有：9分59秒"},
    {3, 3, 0, "距离下一次刷价还有：9分57秒"},
    {4, 4, 0, "距离下一次刷价还有：9分56秒"}, // 2/3 rounds down, not to the nearest
    {6, 6, 1, "距离下一次刷价还有：9分54秒"},
    {7, 7, 1, "距离下一次刷价还有：9分53秒"},
    {55, 55, 9, "距离下一次刷价还有：9分5秒"},
    {150, 150, 25, "距离下一次刷价还有：7分30秒"},
    {599, 599, 99, "距离下一次刷价还有：0分1秒"},
    {600, 600, 100, "现在刷价"},
    {601, 601, 100, "距离下依次刷价还有：9分59秒"},
    {1199, 1199, 199, "距离下依次刷价还有：0分1秒"},
    {1200, 1200, 200, "现在刷价"},
    {1201, 1201, 200, "距离下次刷价还有：9分59秒"},
    {1799, 1799, 299, "距离下次刷价还有：0分1秒"},
    {1800, 0, 0, "现在刷价"},
    {1801, 1, 0, "距离下一次刷价还有：9分59秒"},
    {3600, 0, 0, "现在刷价"},
};

TEST(CycleClockTest, TicksFromResetFollowTheDay) {
    CycleClock clock;
    clock.reset();
    int done = 0;
    for (const TickRow& row : tickRows) {
        TickResult result{};
        while (done < row.tick) {
            result = clock.tick();
            ++done;
        }
        SCOPED_TRACE("tick " + std::to_string(row.tick));
        EXPECT_EQ(clock.positionInSteps(), row.steps);
        EXPECT_EQ(result.barValue, row.bar);
        EXPECT_EQ(result.countdownText, row.text);
    }
}

struct SlotRow {
    int index;
    int bar;
    const char* firstTick;
    std::vector<int> refreshTicks; // ticks reading 现在刷价 up to and including the first wrap
    std::vector<int> refreshBars;
};

const SlotRow slotRows[] = {
    {0, 0, "距离下一次刷价还有：9分59秒", {600, 1200, 1800}, {100, 200, 0}},
    {1, 25, "距离下一次刷价还有：7分29秒", {450, 1050, 1650}, {100, 200, 0}},
    {2, 50, "距离下一次刷价还有：4分59秒", {300, 900, 1500}, {100, 200, 0}},
    {3, 75, "距离下一次刷价还有：2分29秒", {150, 750, 1350}, {100, 200, 0}},
    {4, 100, "距离下依次刷价还有：9分59秒", {600, 1200}, {200, 0}},
    {5, 125, "距离下依次刷价还有：7分29秒", {450, 1050}, {200, 0}},
    {6, 150, "距离下依次刷价还有：4分59秒", {300, 900}, {200, 0}},
    {7, 175, "距离下依次刷价还有：2分29秒", {150, 750}, {200, 0}},
    {8, 200, "距离下次刷价还有：9分59秒", {600}, {0}},
    {9, 225, "距离下次刷价还有：7分29秒", {450}, {0}},
    {10, 250, "距离下次刷价还有：4分59秒", {300}, {0}},
    {11, 275, "距离下次刷价还有：2分29秒", {150}, {0}},
};

TEST(CycleClockTest, EachStartSlotReachesTheRefreshesOnTime) {
    for (const SlotRow& row : slotRows) {
        SCOPED_TRACE("slot " + std::to_string(row.index));
        CycleClock clock;
        const auto value = CycleClock::startSlotValue(static_cast<std::int16_t>(row.index));
        ASSERT_TRUE(value.has_value());
        EXPECT_EQ(*value, row.bar);
        clock.setPosition(*value);

        std::vector<int> refreshTicks;
        std::vector<int> refreshBars;
        for (int t = 1; refreshBars.empty() || refreshBars.back() != 0; ++t) {
            const TickResult result = clock.tick();
            if (t == 1) {
                EXPECT_EQ(result.countdownText, row.firstTick); // the step comes first
            }
            if (result.countdownText == refresh) {
                refreshTicks.push_back(t);
                refreshBars.push_back(result.barValue);
            }
            ASSERT_LE(t, 1800);
        }
        EXPECT_EQ(refreshTicks, row.refreshTicks);
        EXPECT_EQ(refreshBars, row.refreshBars);
    }
}

TEST(CycleClockTest, StartSlotValueAnswersOnlyListEntries) {
    const struct {
        std::int16_t index;
        std::optional<std::int16_t> value;
    } rows[] = {
        {-1, std::nullopt},
        {0, 0},
        {1, 25},
        {11, 275},
        {12, std::nullopt},
        {-32768, std::nullopt},
        {32767, std::nullopt},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(CycleClock::startSlotValue(row.index), row.value) << "index " << row.index;
    }
}

TEST(CycleClockTest, BarAtItsRightEndWrapsOnTheNextTick) {
    CycleClock clock;
    clock.setPosition(300);
    EXPECT_EQ(clock.positionInSteps(), 1800);
    const TickResult result = clock.tick();
    EXPECT_EQ(clock.positionInSteps(), 0);
    EXPECT_EQ(result.barValue, 0);
    EXPECT_EQ(result.countdownText, refresh);
}

TEST(CycleClockTest, SetPositionRefusesValuesOffTheBar) {
    CycleClock clock;
    clock.setPosition(137);
    for (std::int16_t bad : {std::int16_t{-1}, std::int16_t{301}, std::int16_t{32767}}) {
        EXPECT_THROW(clock.setPosition(bad), RuntimeError) << bad;
    }
    EXPECT_EQ(clock.positionInSteps(), 137 * 6);
}

TEST(CycleClockTest, RefreshTickKeepsTheLastCountdownAndResetKeepsItToo) {
    CycleClock clock;
    clock.setPosition(99);
    for (int i = 0; i < 5; ++i) {
        clock.tick();
    }
    EXPECT_EQ(clock.minutesLeft(), 0);
    EXPECT_EQ(clock.secondsLeft(), 1);
    EXPECT_EQ(clock.tick().countdownText, refresh);
    EXPECT_EQ(clock.minutesLeft(), 0);
    EXPECT_EQ(clock.secondsLeft(), 1);

    clock.tick();
    clock.reset();
    EXPECT_EQ(clock.positionInSteps(), 0);
    EXPECT_EQ(clock.minutesLeft(), 9);
    EXPECT_EQ(clock.secondsLeft(), 59);
    EXPECT_EQ(clock.tick().countdownText, "距离下一次刷价还有：9分59秒");
}

// Over many days, every tick matches an independent reading of the cycle: the countdown
// is the seconds to the next multiple of 600 ticks, the bar the sixths rounded down, and
// the position is a whole number exactly on every sixth tick.
TEST(CycleClockTest, StaysExactOverMillionsOfTicks) {
    const char* prefixes[] = {"距离下一次刷价还有：", "距离下依次刷价还有：", "距离下次刷价还有："};
    CycleClock clock;
    clock.reset();
    constexpr long long ticks = 3'000'000;
    long long mismatches = 0;
    for (long long t = 1; t <= ticks; ++t) {
        const TickResult result = clock.tick();
        const long long inDay = t % 1800;
        std::string expected = refresh;
        if (inDay % 600 != 0) {
            const long long left = 600 - inDay % 600;
            expected = std::string(prefixes[inDay / 600]) + std::to_string(left / 60) + "分" +
                       std::to_string(left % 60) + "秒";
        }
        if (result.barValue != inDay / 6 || result.countdownText != expected ||
            (inDay % 6 == 0 && clock.position() != static_cast<double>(inDay / 6))) {
            ++mismatches;
        }
        ASSERT_EQ(result.countdownText.find("：0分0秒"), std::string::npos) << t;
    }
    EXPECT_EQ(mismatches, 0);
    EXPECT_EQ(clock.positionInSteps(), ticks % 1800);
}

} // namespace
} // namespace korvane
