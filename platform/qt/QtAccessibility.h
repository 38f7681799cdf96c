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

// Exposes every window of the program as a frame, so that its caption is its title.
// Called once, by the platform.
void installAccessibility();

// What a screen reader calls a control. An editable list also gets a caption that only a
// screen reader sees: on Linux, Qt's bridge takes the list's field text as its name and
// looks for the name in a caption instead.
void nameForScreenReaders(QWidget& control, const QString& name);

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
