#include "platform/WindowRules.h"

#include "calculators/TradeCalculatorConfig.h"
#include "mainwindow/Form1Layout.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <set>
#include <string>
#include <vector>

namespace korvane {
namespace {

using enum ControlKind;

std::vector<std::string> names(const std::vector<const ControlLayout*>& rows) {
    std::vector<std::string> out;
    for (const ControlLayout* row : rows) {
        out.emplace_back(row->name);
    }
    return out;
}

// Ties keep the table's order; labels and timers are never reached, whatever their index.
constexpr ControlLayout tiedControls[] = {
    {"B", noIndex, CommandButton, "", 0, 0, 10, 10, 1},
    {"Caption", noIndex, Label, "\t 名字 ", 0, 0, 10, 10, 0},
    {"A", noIndex, TextBox, "", 0, 0, 10, 10, 0, {.captionedBy = "Caption"}},
    {"C", noIndex, ComboBox, "", 0, 0, 10, 10, 1, {.captionedBy = "Blank"}},
    {"Blank", noIndex, Label, "   ", 0, 0, 10, 10, 2},
    {"D", noIndex, HScrollBar, "", 0, 0, 10, 10, 2, {.captionedBy = "Missing"}},
    {"T", noIndex, Timer, "", 0, 0, 0, 0, noTabStop, {.interval = 1000}},
    {"E",
     noIndex,
     TextBox,
     "",
     0,
     0,
     10,
     10,
     3,
     {.accessibleName = "它自己的", .captionedBy = "Caption"}},
};
constexpr WindowLayout tied{"Tied", "", 0, 0, 100, 100, tiedControls};

TEST(WindowRulesTest, TabReachesTheControlsThatTakeTheFocusByTabIndex) {
    const struct {
        const WindowLayout* layout;
        std::vector<std::string> expected;
    } rows[] = {
        {&form1Layout,
         {"HSc1", "Com1", "Command1", "Command2", "Command3", "Command4", "Command5"}},
        {&buyCalculator.layout, {"Text1", "Text2", "Text3", "Command1", "Command2", "Command3"}},
        {&sellCalculator.layout, {"Text1", "Text2", "Text3", "Command1", "Command2", "Command3"}},
        {&tied, {"A", "B", "C", "D", "E"}},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(names(tabOrder(*row.layout)), row.expected) << row.layout->name;
    }
}

TEST(WindowRulesTest, AControlIsSpokenByItsOwnNameOrItsCaptionsWords) {
    const auto find = [](const WindowLayout& layout, std::string_view name) {
        return *std::find_if(layout.controls.begin(), layout.controls.end(),
                             [name](const ControlLayout& row) { return row.name == name; });
    };
    const struct {
        const WindowLayout* layout;
        const char* control;
        const char* expected;
    } rows[] = {
        {&form1Layout, "Com1", "开始的时辰"},
        {&form1Layout, "HSc1", "刷价周期位置"},
        {&form1Layout, "Command1", ""}, // a button says its own text
        {&buyCalculator.layout, "Text1", "现有资金"},
        {&buyCalculator.layout, "Text3", "商品数量"},
        {&sellCalculator.layout, "Text2", "商品单价"},
        {&tied, "A", "名字"},
        {&tied, "C", ""},         // a caption of blanks only
        {&tied, "D", ""},         // a caption that the table does not hold
        {&tied, "E", "它自己的"}, // its own name before its caption's
    };
    for (const auto& row : rows) {
        EXPECT_EQ(spokenName(*row.layout, find(*row.layout, row.control)), row.expected)
            << row.layout->name << " " << row.control;
    }
}

// Every table: one row a name, one control a tab index, and every drawn control inside
// the client area.
TEST(WindowRulesTest, EveryLayoutTableIsWellFormed) {
    for (const WindowLayout* layout :
         {&form1Layout, &buyCalculator.layout, &sellCalculator.layout}) {
        std::set<std::pair<std::string_view, int>> controls;
        std::set<int> tabIndexes;
        for (const ControlLayout& row : layout->controls) {
            EXPECT_TRUE(controls.insert({row.name, row.index}).second) << row.name << row.index;
            if (row.tabIndex != noTabStop) {
                EXPECT_TRUE(tabIndexes.insert(row.tabIndex).second) << row.name;
            }
            if (row.kind != Timer) {
                EXPECT_LE(row.left + row.width, layout->width) << layout->name << row.name;
                EXPECT_LE(row.top + row.height, layout->height) << layout->name << row.name;
            }
        }
    }
}

} // namespace
} // namespace korvane
