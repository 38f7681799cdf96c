#include "platform/WindowRules.h"

#include <algorithm>

namespace korvane {

std::vector<const ControlLayout*> tabOrder(const WindowLayout& layout) {
    std::vector<const ControlLayout*> order;
    for (const ControlLayout& row : layout.controls) {
        if (takesFocus(row.kind) && row.tabIndex != noTabStop) {
            order.push_back(&row);
        }
    }
    std::stable_sort(
        order.begin(), order.end(),
        [](const ControlLayout* a, const ControlLayout* b) { return a->tabIndex < b->tabIndex; });
    return order;
}

std::string_view spokenName(const WindowLayout& layout, const ControlLayout& row) {
    if (!row.settings.accessibleName.empty() || row.settings.captionedBy.empty()) {
        return row.settings.accessibleName;
    }
    const auto caption =
        std::find_if(layout.controls.begin(), layout.controls.end(), [&](const ControlLayout& c) {
            return c.name == row.settings.captionedBy && c.index == noIndex;
        });
    if (caption == layout.controls.end()) {
        return {};
    }
    const std::string_view words = caption->text;
    const auto first = words.find_first_not_of(" \t");
    const auto last = words.find_last_not_of(" \t");
    return first == words.npos ? std::string_view{} : words.substr(first, last - first + 1);
}

} // namespace korvane
