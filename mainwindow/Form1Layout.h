#pragma once

#include "clock/CycleClock.h"
#include "platform/Layout.h"

#include <array>

namespace korvane {

namespace form1_layout {

using enum ControlKind;

inline constexpr FontSpec markFont{"宋体", 15.75, 134, 400};

// Controls in creation order. The thirteen marks are one control array, Label1, created
// from index 12 down to 0; read from left to right they spell 子 … 亥 and 子 again.
inline constexpr std::array<ControlLayout, 23> controls{{
    {"Command5", noIndex, CommandButton, "退出", 9600, 960, 1215, 495, 21},
    {"Command4", noIndex, CommandButton, "卖东西计算器", 1800, 1920, 1455, 495, 20},
    {"Command3", noIndex, CommandButton, "买东西计算器", 240, 1920, 1455, 495, 19},
    {"Command2", noIndex, CommandButton, "停止", 8040, 960, 1575, 495, 17, {.enabled = false}},
    {"Command1", noIndex, CommandButton, "开始", 6240, 960, 1815, 495, 16},
    {"Timer1", noIndex, Timer, "", 0, 0, 0, 0, noTabStop, {.enabled = false, .interval = 1000}},
    {"Com1",
     noIndex,
     ComboBox,
     "请选择开始的时辰(默认：子时)",
     120,
     1080,
     3015,
     300,
     14,
     {.accessibleName = "开始的时辰"}},
    {"HSc1",
     noIndex,
     HScrollBar,
     "",
     360,
     600,
     9975,
     375,
     0,
     {.min = 0, .max = 300, .value = 0, .accessibleName = "刷价周期位置"}},
    {"Label3", noIndex, Label, "1.0.0的版本不允许从两个时辰之间开始计时", 120, 1560, 3855, 255, 18},
    // Only the refresh is spoken by itself; the countdown stays readable on demand.
    {"Label2",
     noIndex,
     Label,
     "距离下一次刷价还有：0分0秒",
     3240,
     1080,
     2895,
     375,
     15,
     {.live = true, .liveText = refreshText}},
    {"Label1", 12, Label, "子", 9960, 240, 375, 375, 13, {.font = &markFont}},
    {"Label1", 11, Label, "申", 6720, 240, 375, 375, 12, {.font = &markFont}},
    {"Label1", 10, Label, "戌", 8280, 240, 375, 375, 11, {.font = &markFont}},
    {"Label1", 9, Label, "酉", 7560, 240, 375, 375, 10, {.font = &markFont}},
    {"Label1", 8, Label, "未", 6000, 240, 375, 375, 9, {.font = &markFont}},
    {"Label1", 7, Label, "亥", 9120, 240, 375, 375, 8, {.font = &markFont}},
    {"Label1", 6, Label, "卯", 2880, 240, 375, 375, 7, {.font = &markFont}},
    {"Label1", 5, Label, "午", 5160, 240, 375, 375, 6, {.font = &markFont}},
    {"Label1", 4, Label, "巳", 4440, 240, 375, 375, 5, {.font = &markFont}},
    {"Label1", 3, Label, "辰", 3600, 240, 375, 375, 4, {.font = &markFont}},
    {"Label1", 2, Label, "寅", 2160, 240, 375, 375, 3, {.font = &markFont}},
    {"Label1", 1, Label, "丑", 1320, 240, 375, 375, 2, {.font = &markFont}},
    {"Label1", 0, Label, "子", 480, 240, 375, 375, 1, {.font = &markFont}},
}};

} // namespace form1_layout

// The caption's credit is ours: "market price-refresh timer".
inline constexpr WindowLayout form1Layout{
    "Form1", "KorvaneV1.0.5（市场刷价计时器）", 255, 450, 10875, 2685, form1_layout::controls,
};

} // namespace korvane
