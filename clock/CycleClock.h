#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace korvane {

// The market day of twelve double-hours, in the order of the start list.
struct DoubleHour {
    std::string_view mark;     // text of its mark above the bar
    std::string_view listText; // text of its entry in the start list
    std::int16_t startBarValue;
};

inline constexpr std::array<DoubleHour, 12> doubleHours{{
    {"子", "子时", 0},
    {"丑", "丑时", 25},
    {"寅", "寅时", 50},
    {"卯", "卯时", 75},
    {"辰", "辰时", 100},
    {"巳", "巳时", 125},
    {"午", "午时", 150},
    {"未", "未时", 175},
    {"申", "申时", 200},
    {"酉", "酉时", 225},
    {"戌", "戌时", 250},
    {"亥", "亥时", 275},
}};

// The countdown's text on the tick on which prices refresh.
inline constexpr std::string_view refreshText = "现在刷价";

struct TickResult {
    std::int16_t barValue;
    std::string countdownText; // UTF-8
};

// The refresh cycle clock: one position that runs through the market's day of 300 units
// and turns into the position bar's value and the countdown to the next price refresh.
//
// The position is held as a whole count of sixths of a unit, so it is exact at every tick.
// The clock has no time source: it moves one step per tick() it is given, and it knows
// nothing of windows, controls or timers; whether ticks arrive is the main window's affair.
class CycleClock {
public:
    static constexpr int stepsPerUnit = 6;
    static constexpr int unitsPerDay = 300;
    static constexpr int stepsPerDay = stepsPerUnit * unitsPerDay;

    // Position back to 0 (子); the last countdown stays as it was.
    void reset();

    // The bar value of start slot `index` (25 × index for 0 … 11); none for any other index,
    // including -1 for "nothing chosen".
    static std::optional<std::int16_t> startSlotValue(std::int16_t index);

    // Jumps to a whole-number position, a bar value from 0 to 300.
    void setPosition(std::int16_t barValue);

    // One step of a sixth of a unit, wrapping to 0 at 300; returns what the bar and the
    // countdown label show next.
    TickResult tick();

    // The position in sixths of a unit (0 … 1800).
    std::int32_t positionInSteps() const { return m_steps; }
    double position() const { return m_steps / static_cast<double>(stepsPerUnit); }
    std::int16_t minutesLeft() const { return m_minutesLeft; }
    std::int16_t secondsLeft() const { return m_secondsLeft; }

private:
    std::int32_t m_steps = 0;
    std::int16_t m_minutesLeft = 0;
    std::int16_t m_secondsLeft = 0;
};

} // namespace korvane
