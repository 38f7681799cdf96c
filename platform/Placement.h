#pragma once

namespace korvane {

// Where a window opens, in screen pixels: pure arithmetic on rectangles, shared by the
// backends. It knows nothing of windows or window managers; the backend reads the
// rectangles and moves the window.

struct Point {
    int x;
    int y;
    friend bool operator==(const Point&, const Point&) = default;
};

struct Rect {
    int left;
    int top;
    int width;
    int height;
    int right() const { return left + width; }
    int bottom() const { return top + height; }
    Point topLeft() const { return {left, top}; }
    friend bool operator==(const Rect&, const Rect&) = default;
};

// How far a frame reaches beyond its client area on each side.
struct Margins {
    int left;
    int top;
    int right;
    int bottom;
};

// The start-up window, as laid out and as the window manager really placed it.
struct PlacedWindow {
    Rect laidOut; // client area
    Rect client;
    Rect frame;
};

// The top-left corner of the client area of a window laid out at `laidOut`, opened beside
// `main` in a frame of `margins`. Where the main window stands at its laid-out place the
// window opens at its own. Where the main window was put elsewhere (a top bar or a title
// bar pushed it), the window moves with it, its frame never reaches above the main
// window's frame's bottom, and it is kept on `workArea`.
Point openingPlace(const Rect& laidOut, const Margins& margins, const PlacedWindow& main,
                   const Rect& workArea);

} // namespace korvane
