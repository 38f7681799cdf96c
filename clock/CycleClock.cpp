#include "clock/CycleClock.h"

#include "platform/RuntimeError.h"

#include <charconv>

namespace korvane {

namespace {

constexpr std::string_view minutesUnit = "分";
constexpr std::string_view secondsUnit = "秒";

// The three refresh windows, open intervals of the position in steps. The prefixes differ
// in wording on purpose and are shown exactly as they stand.
struct RefreshWindow {
    std::int32_t lowerSteps;
    std::int32_t upperSteps; // also the countdown base: ticks from 0 to the window's end
    std::string_view prefix;
};

constexpr std::array<RefreshWindow, 3> refreshWindows{{
    {0, 600, "距离下一次刷价还有："},
    {600, 1200, "距离下依次刷价还有："},
    {1200, 1800, "距离下次刷价还有："},
}};

void appendDecimal(std::string& out, std::int16_t value) {
    char digits[8];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    out.append(digits, end);
}

} // namespace

void CycleClock::reset() {
    m_steps = 0;
}

std::optional<std::int16_t> CycleClock::startSlotValue(std::int16_t index) {
    if (index < 0 || index >= static_cast<std::int16_t>(doubleHours.size())) {
        return std::nullopt;
    }
    return doubleHours[static_cast<std::size_t>(index)].startBarValue;
}

void CycleClock::setPosition(std::int16_t barValue) {
    if (barValue < 0 || barValue > unitsPerDay) {
        throw RuntimeError(error::invalidProcedureCall, "无效的过程调用或参数");
    }
    m_steps = barValue * stepsPerUnit;
}

TickResult CycleClock::tick() {
    m_steps = checkedNarrow<std::int32_t>(std::int64_t{m_steps} + 1);
    if (m_steps >= stepsPerDay) {
        m_steps = 0; // what passes the end of the day is dropped, not carried over
    }
    const auto barValue = checkedNarrow<std::int16_t>(m_steps / stepsPerUnit);

    for (const auto& window : refreshWindows) {
        if (m_steps == window.lowerSteps) {
            return {barValue, std::string(refreshText)};
        }
    }
    for (const auto& window : refreshWindows) {
        if (m_steps > window.lowerSteps && m_steps < window.upperSteps) {
            const auto ticksLeft =
                checkedNarrow<std::int32_t>(std::int64_t{window.upperSteps} - m_steps);
            m_minutesLeft = checkedNarrow<std::int16_t>(ticksLeft / 60);
            m_secondsLeft = checkedNarrow<std::int16_t>(ticksLeft % 60);

            std::string text;
            text.reserve(window.prefix.size() + 16);
            text += window.prefix;
            appendDecimal(text, m_minutesLeft);
            text += minutesUnit;
            appendDecimal(text, m_secondsLeft);
            text += secondsUnit;
            return {barValue, std::move(text)};
        }
    }
    // Every position from 0 to 1799 lies on a refresh or inside a window.
    throw RuntimeError(error::invalidProcedureCall, "时钟位置无效");
}

} // namespace korvane
