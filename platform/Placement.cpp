#include "platform/Placement.h"

#include <algorithm>

namespace korvane {

namespace {

// Moved as little as can be so that the whole frame is on the work area; a frame larger
// than the work area keeps its top-left corner, and so its title bar, on it.
Point keptOnWorkArea(const Rect& client, const Margins& margins, const Rect& workArea) {
    // Right and bottom first, so that the top-left corner wins.
    Point place = client.topLeft();
    place.x = std::min(place.x, workArea.right() - margins.right - client.width);
    place.y = std::min(place.y, workArea.bottom() - margins.bottom - client.height);
    place.x = std::max(place.x, workArea.left + margins.left);
    place.y = std::max(place.y, workArea.top + margins.top);
    return place;
}

} // namespace

Point openingPlace(const Rect& laidOut, const Margins& margins, const PlacedWindow& main,
                   const Rect& workArea) {
    const Point moved{main.client.left - main.laidOut.left, main.client.top - main.laidOut.top};
    if (moved == Point{0, 0}) {
        return laidOut.topLeft();
    }
    const Rect place{laidOut.left + moved.x,
                     std::max(laidOut.top + moved.y, main.frame.bottom() + margins.top),
                     laidOut.width, laidOut.height};
    return keptOnWorkArea(place, margins, workArea);
}

} // namespace korvane
