#pragma once

#include "platform/Layout.h"

#include <string_view>
#include <vector>

namespace korvane {

// What every backend builds the same way from a window's layout table, decided from the
// table alone; each backend only applies the answers.

// The kinds of control that the keyboard's Tab reaches: a label or a timer never takes
// the focus.
constexpr bool takesFocus(ControlKind kind) {
    return kind != ControlKind::Label && kind != ControlKind::Timer;
}

// The controls that Tab reaches, in the order it reaches them: by tab index, and rows of
// one tab index in the order of the table. The first one has the focus when the window
// opens.
std::vector<const ControlLayout*> tabOrder(const WindowLayout& layout);

// What a screen reader calls a control beyond its own text: the name the row gives, or
// the words of the label that captions it, without the blanks around them; empty where
// the row gives neither.
std::string_view spokenName(const WindowLayout& layout, const ControlLayout& row);

} // namespace korvane
