#pragma once

#include <QPointer>
#include <QString>

class QWidget;

namespace korvane {

// What a screen reader needs beyond what Qt's widgets tell it by themselves. Qt's bridge
// to Linux screen readers (6.4) has no announcement of its own, and Orca presents text
// changes only of the focused object; a notification it presents wherever the focus is.

// Exposes every window of the program as a frame, so that its caption is its title.
// Called once, by the platform.
void installAccessibility();

// What a screen reader calls a control. An editable list also gets a caption that only a
// screen reader sees: on Linux, Qt's bridge takes the list's field text as its name and
// looks for the name in a caption instead.
void nameForScreenReaders(QWidget& control, const QString& name);

// A notification that only a screen reader sees: a widget of no size in the window,
// shown anew with each text, so that the text is spoken even while another program has
// the focus. Nothing is drawn, and it takes no focus and no click.
class Announcer {
public:
    explicit Announcer(QWidget& window);
    void announce(const QString& text);

private:
    QPointer<QWidget> m_notice;
};

} // namespace korvane
