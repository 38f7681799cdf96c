#pragma once

class QAccessibleInterface;
class QObject;

namespace korvane {

// What a box, a list or a message box tells a screen reader where Qt's own interfaces fall
// short: a box's or a message's whole text as one run, a list's own name. Null for any
// other object.
QAccessibleInterface* accessibleControlFor(QObject* object);

} // namespace korvane
