#pragma once

#include "platform/Window.h"
#include "platform/win32/Win32Focus.h"
#include "platform/win32/Win32Support.h"

#include <functional>
#include <memory>

namespace korvane {

// Routes one control's notifications (WM_COMMAND id and code) to its handler.
using CommandRouter = std::function<void(int id, int code, Handler handler)>;

// The five visible control kinds on Windows' own controls. A control holds its window's
// handle: once the window has gone, every call raises "object required".
template <typename Base> class Win32Control : public Base {
public:
    explicit Win32Control(HWND hwnd) : m_hwnd(hwnd) {}
    void setEnabled(bool enabled) override { enableHandingOnFocus(checked(m_hwnd), enabled); }
    bool isEnabled() const override { return IsWindowEnabled(checked(m_hwnd)) != FALSE; }

protected:
    HWND m_hwnd;
};

class Win32CommandButton : public Win32Control<CommandButton> {
public:
    Win32CommandButton(HWND hwnd, int id, CommandRouter router)
        : Win32Control(hwnd), m_id(id), m_router(std::move(router)) {}
    std::string text() const override;
    void onClick(Handler handler) override;

private:
    int m_id;
    CommandRouter m_router;
};

class Win32Label : public Win32Control<Label> {
public:
    Win32Label(HWND hwnd, const ControlSettings& settings)
        : Win32Control(hwnd), m_settings(settings) {}
    std::string text() const override;
    void setText(std::string_view text) override;

private:
    const ControlSettings& m_settings;
};

class Win32TextBox : public Win32Control<TextBox> {
public:
    using Win32Control::Win32Control;
    std::string text() const override;
    void setText(std::string_view text) override;
};

class Win32ComboBox : public Win32Control<ComboBox> {
public:
    Win32ComboBox(HWND hwnd, int id, CommandRouter router)
        : Win32Control(hwnd), m_id(id), m_router(std::move(router)) {}
    std::string text() const override;
    void addItem(std::string_view text) override;
    int listCount() const override;
    std::string itemText(int index) const override;
    std::int16_t listIndex() const override;
    // Picking an entry, with the mouse or the arrow keys; typing in the field is no pick.
    void onClick(Handler handler) override;

private:
    int m_id;
    CommandRouter m_router;
};

class Win32ScrollBar : public Win32Control<ScrollBar> {
public:
    Win32ScrollBar(HWND hwnd, const ControlSettings& settings)
        : Win32Control(hwnd), m_min(settings.min), m_max(settings.max),
          m_small(settings.smallChange), m_large(settings.largeChange) {}
    void setValue(std::int16_t value) override;
    std::int16_t value() const override;
    // The user's own moves of the bar (WM_HSCROLL): it follows them, and nothing else
    // listens.
    void scroll(int request, int trackPosition);

private:
    int m_min;
    int m_max;
    int m_small;
    int m_large;
};

// A visible control built from its layout row: the child window, placed by the window,
// and the control that the handlers reach.
struct BuiltControl {
    HWND hwnd;
    std::unique_ptr<Control> control;
};

// Builds the child window of any kind but Timer, with the kind's settings from the row.
BuiltControl buildControl(const ControlLayout& row, HWND form, int id, const CommandRouter& router);

} // namespace korvane
