#pragma once

#include "platform/win32/Win32Support.h"

namespace korvane {

// The focus habits of a dialog box, which plain top-level windows do not have by
// themselves: Qt's widgets have them already.

// A button pressed with the mouse hands the focus back to where it was, and is drawn as
// the default button while it has the focus, so that Enter presses it.
void keepFocusOnClick(HWND button);
// Called on the button's click: the focus goes back to where it was before the press.
void giveFocusBack(HWND button);

// Enables or disables a control; a control that loses the focus by being disabled hands
// it on in tab order, as the dialog manager does for the keyboard user who pressed it.
void enableHandingOnFocus(HWND control, bool enabled);

// The answer to DM_GETDEFID: the focused push button, so that Enter presses it; with the
// focus elsewhere there is none, and Enter presses nothing.
LRESULT focusedDefaultButton(HWND form);

// Where the focus was when a window last lost it, so that it goes back there: when the
// window is activated again or shown again.
class FocusMemory {
public:
    void remember(HWND form);
    // The remembered control, or the first in tab order where that one cannot take it.
    bool restore(HWND form);
    // The answer to WM_ACTIVATE.
    LRESULT activated(HWND form, WPARAM wParam, LPARAM lParam);

private:
    HWND m_last = nullptr;
};

} // namespace korvane
