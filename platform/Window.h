#pragma once

#include "platform/Layout.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace korvane {

// The controls and windows that the handlers reach, free of any toolkit. A backend
// (Qt today) implements them; tests use an in-memory fake. Texts are UTF-8.
// Every call is checked: one that the control cannot carry out raises a RuntimeError.

using Handler = std::function<void()>;

class Control {
public:
    virtual ~Control() = default;
    virtual void setEnabled(bool enabled) = 0;
    virtual bool isEnabled() const = 0;
};

class CommandButton : public Control {
public:
    virtual std::string text() const = 0;
    virtual void onClick(Handler handler) = 0;
};

class Label : public Control {
public:
    virtual std::string text() const = 0;
    virtual void setText(std::string_view text) = 0;
};

class TextBox : public Control {
public:
    virtual std::string text() const = 0;
    virtual void setText(std::string_view text) = 0;
};

// A drop-down list with an editable text field. Its click event is the picking of a
// list entry, never typing in the field.
class ComboBox : public Control {
public:
    virtual std::string text() const = 0;
    virtual void addItem(std::string_view text) = 0;
    virtual int listCount() const = 0;
    virtual std::string itemText(int index) const = 0;
    virtual std::int16_t listIndex() const = 0; // -1 when no entry is chosen
    virtual void onClick(Handler handler) = 0;
};

class ScrollBar : public Control {
public:
    // Raises invalid property value outside the bar's range.
    virtual void setValue(std::int16_t value) = 0;
    virtual std::int16_t value() const = 0;
};

// Fires its event once per interval while enabled; enabling it starts a fresh interval.
class Timer : public Control {
public:
    virtual void onTimer(Handler handler) = 0;
};

class Window {
public:
    virtual ~Window() = default;

    virtual CommandButton& commandButton(std::string_view name) = 0;
    virtual Label& label(std::string_view name, int index = noIndex) = 0;
    virtual TextBox& textBox(std::string_view name) = 0;
    virtual ComboBox& comboBox(std::string_view name) = 0;
    virtual ScrollBar& scrollBar(std::string_view name) = 0;
    virtual Timer& timer(std::string_view name) = 0;

    // Takes the Close command out of the window's system menu and frame; a close request
    // from outside is refused from then on. Best effort: a failure is ignored.
    virtual void removeCloseCommand() = 0;
    // False once the user has closed the window through its frame: it and its controls
    // are gone, and the owner builds a fresh one when it needs it again.
    virtual bool exists() const = 0;
    // A minimised window counts as not shown: the user does not see it.
    virtual bool isVisible() const = 0;
    // Modeless, without an owner window; a minimised window is restored, and the window
    // comes to the front.
    virtual void show() = 0;
    virtual void hide() = 0;
    // A warning in a message box over this window; returns when the user has read it.
    virtual void showWarning(std::string_view text) = 0;
};

class Platform {
public:
    virtual ~Platform() = default;
    // Builds the window from its layout, controls in table order; the window stays hidden.
    virtual std::unique_ptr<Window> createWindow(const WindowLayout& layout) = 0;
    // Ends the program at once: every window goes away and no further handler runs.
    virtual void endProgram() = 0;
};

} // namespace korvane
