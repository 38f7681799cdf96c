#include "platform/Placement.h"

#include <gtest/gtest.h>

namespace korvane {
namespace {

// At 96 DPI: the main window's client area is laid out at (17, 30), 725 × 179; the buy
// calculator's at (17, 243) and the sell calculator's at (337, 243), 312 × 206.
constexpr Rect mainLaidOut{17, 30, 725, 179};
constexpr Rect buy{17, 243, 312, 206};
constexpr Rect sell{337, 243, 312, 206};
constexpr Rect screen{0, 0, 1600, 1000};

TEST(PlacementTest, CalculatorsOpenBelowTheMainWindowWhereverItStands) {
    const struct {
        const char* name;
        Rect laidOut;
        Margins margins;
        PlacedWindow main;
        Rect workArea;
        Point expected;
    } rows[] = {
        // A manager that honours the laid-out places: nothing moves.
        {"in_place_buy",
         buy,
         {1, 22, 1, 1},
         {mainLaidOut, mainLaidOut, {16, 8, 727, 202}},
         screen,
         {17, 243}},
        {"in_place_sell",
         sell,
         {1, 22, 1, 1},
         {mainLaidOut, mainLaidOut, {16, 8, 727, 202}},
         screen,
         {337, 243}},
        // A top bar pushed the main window 39 px down, and its title bar is 37 px high: the
        // calculator's title bar lies below the main window's frame, not over its buttons.
        {"top_bar_pushed",
         buy,
         {0, 37, 0, 0},
         {mainLaidOut, {17, 69, 725, 179}, {17, 32, 725, 216}},
         screen,
         {17, 285}},
        // A title bar 6 px taller than the gap kept the frame on the screen: moved as much,
        // and clear of the main window's bottom border.
        {"title_bar_pushed",
         sell,
         {0, 36, 0, 4},
         {mainLaidOut, {17, 36, 725, 179}, {17, 0, 725, 219}},
         screen,
         {337, 255}},
        // A taskbar on the left: both move right with the main window; the gap below is kept.
        {"left_taskbar",
         sell,
         {1, 31, 1, 1},
         {mainLaidOut, {65, 30, 725, 179}, {64, -1, 727, 211}},
         {48, 0, 1552, 1000},
         {385, 243}},
        // Moved so far down that the calculator would leave the work area: kept on it.
        {"near_the_bottom",
         buy,
         {0, 30, 0, 0},
         {mainLaidOut, {17, 700, 725, 179}, {17, 670, 725, 209}},
         screen,
         {17, 794}},
        // A top bar pushed the main window 40 px down, and the title bars are no taller than
        // the layout's gap: the calculator keeps its laid-out gap below the main window.
        {"top_bar_pushed_short_title",
         buy,
         {1, 22, 1, 1},
         {mainLaidOut, {17, 70, 725, 179}, {16, 48, 727, 202}},
         screen,
         {17, 283}},
        // The main window stands partly past the right edge: the calculator's whole frame,
        // its right border too, stays on the work area.
        {"past_the_right_edge",
         sell,
         {4, 30, 4, 4},
         {mainLaidOut, {417, 30, 725, 179}, {413, 0, 733, 213}},
         {0, 0, 1024, 768},
         {708, 243}},
        // A taskbar at the bottom: the frame's bottom border stays above it.
        {"bottom_taskbar",
         buy,
         {4, 30, 4, 4},
         {mainLaidOut, {17, 680, 725, 179}, {13, 650, 733, 213}},
         {0, 0, 1600, 960},
         {17, 750}},
        // A screen smaller than the layout changes nothing where the main window is in place;
        // where it was moved, the calculator's title bar stays on the screen.
        {"small_screen_in_place",
         sell,
         {1, 22, 1, 1},
         {mainLaidOut, mainLaidOut, {16, 8, 727, 202}},
         {0, 0, 300, 200},
         {337, 243}},
        {"small_screen_moved",
         sell,
         {1, 22, 1, 1},
         {mainLaidOut, {17, 40, 725, 179}, {16, 18, 727, 202}},
         {0, 0, 300, 200},
         {1, 22}},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(openingPlace(row.laidOut, row.margins, row.main, row.workArea), row.expected)
            << row.name;
    }
}

} // namespace
} // namespace korvane
