#pragma once

#include <span>
#include <string_view>

namespace korvane {

// Window layouts as data: every position and size in twips (1/1440 inch). Only the
// toolkit backend turns them into pixels.

enum class ControlKind { CommandButton, Label, TextBox, ComboBox, HScrollBar, Timer };

inline constexpr int noIndex = -1;   // a control that is not part of a control array
inline constexpr int noTabStop = -1; // a control without a place in the tab order

struct FontSpec {
    std::string_view face;
    double points;
    int charset; // 134: simplified Chinese (GB2312)
    int weight;  // 400: normal
};

// Every setting a row does not give keeps the control kind's ordinary default.
struct ControlSettings {
    bool enabled = true;
    const FontSpec* font = nullptr;
    int min = 0; // scroll bar range
    int max = 0;
    int value = 0; // scroll bar initial value
    int smallChange = 1;
    int largeChange = 1;
    int interval = 0; // timer, milliseconds
    // What a screen reader calls a control that shows no text of its own: a name, or the
    // name of the label that captions it (its words, blanks trimmed).
    std::string_view accessibleName = {};
    std::string_view captionedBy = {};
    // A label whose new text a screen reader speaks by itself, as a polite live region:
    // each text the program writes into it but the empty one, or only `liveText` where it
    // is given (one announcement a second would drown everything else).
    bool live = false;
    std::string_view liveText = {};
};

// Whether writing `text` into a control with these settings is spoken by itself.
constexpr bool isAnnounced(const ControlSettings& settings, std::string_view text) {
    return settings.live && !text.empty() &&
           (settings.liveText.empty() || text == settings.liveText);
}

struct ControlLayout {
    std::string_view name;
    int index; // control-array index or noIndex
    ControlKind kind;
    std::string_view text;
    int left;
    int top;
    int width;
    int height;
    int tabIndex;
    ControlSettings settings = {};
};

struct WindowLayout {
    std::string_view name;
    std::string_view caption;
    int left; // screen position of the client area's top-left corner
    int top;
    int width; // client area
    int height;
    std::span<const ControlLayout> controls;
};

} // namespace korvane
