#pragma once

#include <QPointer>
#include <QString>
#include <QtGlobal>

class QWidget;

namespace korvane {

// What a screen reader needs beyond what Qt's widgets tell it by themselves. Orca presents
// text changes only of the focused object; an announcement it speaks wherever the focus is.
// Qt has one from 6.8; before, its Linux bridge has none, and a notification serves.
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
#define KORVANE_QT_ANNOUNCEMENTS 1
#endif

// From 6.8 Qt also hands a screen reader attributes of a program's own, such as the text of
// a list's value.
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
#define KORVANE_QT_VALUE_TEXT 1
#endif

// Exposes every window of the program as a frame, so that its caption is its title, and
// gives boxes, lists and message boxes what Qt's own interfaces lack for a screen reader.
// Called once, by the platform.
void installAccessibility();

// Says a text to a screen reader by itself, even while another program has the focus: a
// polite announcement from the window (Qt 6.8 and later), or else a notification that only
// a screen reader sees, a widget of no size in the window shown anew with each text (it
// draws nothing, and takes no focus and no click).
class Announcer {
public:
    explicit Announcer(QWidget& window);
    void announce(const QString& text);

private:
    QPointer<QWidget> m_source; // the window, or its notification
};

} // namespace korvane
