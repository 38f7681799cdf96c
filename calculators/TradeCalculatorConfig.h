#pragma once

#include "platform/Layout.h"

#include <array>

namespace korvane {

// One trade calculator kind: its window layout and the sign of its formula
// (funds + sign × quantity × unit price).
struct TradeCalculatorConfig {
    WindowLayout layout;
    int sign;
};

namespace calculator_layout {

using enum ControlKind;

// Controls in creation order; the input captions start with two blanks on purpose.
inline constexpr std::array<ControlLayout, 11> buyControls{{
    {"Command3", noIndex, CommandButton, "清除", 3120, 2040, 1215, 375, 9},
    {"Command2", noIndex, CommandButton, "隐藏", 1560, 2040, 1335, 375, 8},
    {"Command1", noIndex, CommandButton, "计算", 240, 2040, 1095, 375, 7},
    {"Text3", noIndex, TextBox, "", 1680, 1440, 2655, 375, 5, {.captionedBy = "Label3"}},
    {"Text2", noIndex, TextBox, "", 1680, 960, 2655, 375, 3, {.captionedBy = "Label2"}},
    {"Text1", noIndex, TextBox, "", 1680, 240, 2655, 375, 1, {.captionedBy = "Label1"}},
    {"Label5", noIndex, Label, "", 1680, 2520, 2655, 375, 10, {.live = true}},
    {"Label4", noIndex, Label, "估计剩余资金", 240, 2640, 1215, 255, 6},
    {"Label3", noIndex, Label, "  商品数量", 240, 1440, 1335, 375, 4},
    {"Label2", noIndex, Label, "  商品单价", 240, 960, 1335, 255, 2},
    {"Label1", noIndex, Label, "  现有资金", 240, 360, 1335, 255, 0},
}};

// The input captions reach 15 twips into their boxes; the boxes are drawn over them.
inline constexpr std::array<ControlLayout, 11> sellControls{{
    {"Command3", noIndex, CommandButton, "清除", 3000, 1680, 975, 375, 8},
    {"Command2", noIndex, CommandButton, "隐藏", 1680, 1680, 1095, 375, 7},
    {"Command1", noIndex, CommandButton, "计算", 360, 1680, 1095, 375, 6},
    {"Text3", noIndex, TextBox, "", 1440, 1200, 2535, 375, 5, {.captionedBy = "Label3"}},
    {"Text2", noIndex, TextBox, "", 1440, 720, 2535, 375, 3, {.captionedBy = "Label2"}},
    {"Text1", noIndex, TextBox, "", 1440, 120, 2535, 390, 1, {.captionedBy = "Label1"}},
    {"Label5", noIndex, Label, "", 1920, 2520, 2295, 255, 10, {.live = true}},
    {"Label4", noIndex, Label, "估计剩余资金", 240, 2400, 1575, 375, 9},
    {"Label3", noIndex, Label, "  商品数量", 360, 1320, 1095, 255, 4},
    {"Label2", noIndex, Label, "  商品单价", 360, 840, 1095, 255, 2},
    {"Label1", noIndex, Label, "  现有资金", 360, 240, 1095, 255, 0},
}};

} // namespace calculator_layout

// The buy calculator sits under the main window's left edge, the sell calculator beside it.
inline constexpr TradeCalculatorConfig buyCalculator{
    {"Form2", "买东西计算器（V1.0.0）", 255, 3645, 4680, 3090, calculator_layout::buyControls},
    -1,
};

inline constexpr TradeCalculatorConfig sellCalculator{
    {"Form3", "卖东西计算器（V1.0.0）", 5055, 3645, 4680, 3090, calculator_layout::sellControls},
    +1,
};

} // namespace korvane
