#include "platform/win32/Win32Window.h"

#include "platform/RuntimeError.h"
#include "platform/WindowRules.h"
#include "platform/win32/Win32Platform.h"

#include <utility>

namespace korvane {

namespace {

constexpr int firstControlId = 100; // clear of IDOK and IDCANCEL, which Enter and Escape send

} // namespace

void Win32Window::removeCloseCommand() {
    m_closeRemoved = true;
    // The system menu's Close entry; the title bar's close button goes with it.
    if (HMENU menu = GetSystemMenu(checked(m_hwnd), FALSE)) {
        RemoveMenu(menu, SC_CLOSE, MF_BYCOMMAND);
    }
}

void Win32Window::show() {
    if (!m_placed) {
        m_placed = true;
        placeOnFirstShow();
    }
    // Restores a minimised window too, and brings it to the front.
    ShowWindow(checked(m_hwnd), SW_SHOWNORMAL);
    SetForegroundWindow(m_hwnd);
    m_focus.restore(m_hwnd); // the first time, the first control in tab order
}

void Win32Window::hide() {
    m_focus.remember(m_hwnd);
    ShowWindow(checked(m_hwnd), SW_HIDE);
}

void Win32Window::showWarning(std::string_view text) {
    const std::wstring caption = windowText(m_hwnd);
    // Application-modal, as a classic message box is: no other window of the program takes
    // a click until the user has read it. Timers still tick behind it.
    std::vector<HWND> others;
    for (HWND window : Win32Platform::programWindows()) {
        if (window != m_hwnd && IsWindowEnabled(window)) {
            EnableWindow(window, FALSE);
            others.push_back(window);
        }
    }
    MessageBoxW(m_hwnd, toWide(text).c_str(), caption.c_str(), MB_OK | MB_ICONWARNING);
    for (HWND window : others) {
        EnableWindow(window, TRUE);
    }
}

UINT_PTR Win32Window::timerId(std::string_view name) const {
    for (const auto& [id, timer] : m_timers) {
        if (timer->name() == name) {
            return id;
        }
    }
    return 0;
}

HWND Win32Window::controlHandle(std::string_view name, int index) const {
    for (const auto& entry : m_natives) {
        if (entry.name == name && entry.index == index) {
            return entry.hwnd;
        }
    }
    return nullptr;
}

Win32Window::Win32Window(const WindowLayout& layout, Win32Platform& platform)
    : m_layout(layout), m_platform(platform) {
    // Created at its place, at the DPI of the monitor there, so that it is laid out once.
    const UINT screenDpi = systemDpi();
    const UINT placeDpi = monitorDpi(
        MonitorFromPoint({toPixels(layout.left, screenDpi), toPixels(layout.top, screenDpi)},
                         MONITOR_DEFAULTTOPRIMARY));
    const RECT frame = laidOutFrame(placeDpi);
    m_hwnd = CreateWindowExW(formExStyle, Win32Platform::formClass, toWide(layout.caption).c_str(),
                             formStyle, frame.left, frame.top, frame.right - frame.left,
                             frame.bottom - frame.top, nullptr, nullptr, GetModuleHandleW(nullptr),
                             this);
    if (!m_hwnd) {
        throw RuntimeError(error::invalidProcedureCall, "无法创建窗口");
    }
    build();
    if (const UINT dpi = dpiOf(m_hwnd); dpi != placeDpi) {
        placeFrame(dpi); // the system put it on a monitor of another scaling
    }
    // Read again: a DPI change while the frame moved has already been taken.
    layOut(dpiOf(m_hwnd));
}

Win32Window::~Win32Window() {
    clearControls();
    if (m_hwnd && IsWindow(m_hwnd)) {
        SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, 0); // no handler runs while it goes
        DestroyWindow(m_hwnd);
    }
    DeleteObject(m_font);
    for (auto& [face, font] : m_customFonts) {
        DeleteObject(font);
    }
    for (HICON icon : m_icons) {
        DestroyIcon(icon);
    }
}

void Win32Window::build() {
    const CommandRouter router = [this](int id, int code, Handler handler) {
        m_commands[{id, code}] = m_platform.guarded(std::move(handler));
    };
    int id = firstControlId;
    for (const ControlLayout& row : m_layout.controls) {
        ++id;
        if (row.kind == ControlKind::Timer) {
            auto timer = std::make_unique<Win32Timer>(row.name, m_hwnd, static_cast<UINT_PTR>(id),
                                                      row.settings.interval, m_platform);
            m_timers[static_cast<UINT_PTR>(id)] = timer.get();
            timer->setEnabled(row.settings.enabled);
            addControl(row.name, row.index, std::move(timer));
            continue;
        }
        auto [hwnd, control] = buildControl(row, m_hwnd, id, router);
        m_natives.push_back({std::string(row.name), row.index, hwnd, &row});
        if (auto* bar = dynamic_cast<Win32ScrollBar*>(control.get())) {
            m_scrollBars[hwnd] = bar;
        }
        if (const std::string_view spoken = spokenName(m_layout, row); !spoken.empty()) {
            m_platform.annotations().name(hwnd, toWide(spoken));
        }
        if (row.settings.live) {
            m_platform.annotations().markLive(hwnd);
        }
        addControl(row.name, row.index, std::move(control));
    }
    // Tab order is the order of the child windows: place them by it.
    HWND previous = HWND_TOP;
    for (const ControlLayout* row : tabOrder(m_layout)) {
        HWND hwnd = controlHandle(row->name, row->index);
        SetWindowPos(hwnd, previous, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        previous = hwnd;
    }
}

LRESULT Win32Window::command(WPARAM wParam, LPARAM lParam) {
    if (HIWORD(wParam) == BN_CLICKED && lParam != 0) {
        giveFocusBack(reinterpret_cast<HWND>(lParam));
    }
    const auto found = m_commands.find({LOWORD(wParam), HIWORD(wParam)});
    if (found != m_commands.end() && lParam != 0) {
        const Handler handler = found->second; // the handler may rebuild the table
        handler();
    }
    return 0;
}

LRESULT Win32Window::timerFired(UINT_PTR id) {
    if (const auto found = m_timers.find(id); found != m_timers.end()) {
        found->second->fire();
    }
    return 0;
}

LRESULT Win32Window::scrolled(WPARAM wParam, HWND bar) {
    if (const auto found = m_scrollBars.find(bar); found != m_scrollBars.end()) {
        found->second->scroll(LOWORD(wParam), static_cast<short>(HIWORD(wParam)));
    }
    return 0;
}

LRESULT Win32Window::closeAsked() {
    if (m_closeRemoved) {
        return 0; // refused: only Exit ends the program
    }
    m_closed = true;
    DestroyWindow(m_hwnd);
    return 0;
}

// Log-off, shutdown, or Restart Manager closing the program for an installer: the same end
// as Exit. The session is never held up (WM_QUERYENDSESSION says yes).
LRESULT Win32Window::sessionEnding(bool ends) {
    if (ends) {
        m_platform.endProgram();
    }
    return 0;
}

LRESULT Win32Window::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        return command(wParam, lParam);
    case WM_TIMER:
        return timerFired(static_cast<UINT_PTR>(wParam));
    case WM_HSCROLL:
        return scrolled(wParam, reinterpret_cast<HWND>(lParam));
    case WM_CLOSE:
        return closeAsked();
    case WM_GETDPISCALEDSIZE:
        return scaledSize(static_cast<UINT>(wParam), *reinterpret_cast<SIZE*>(lParam));
    case WM_DPICHANGED:
        return dpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
    case DM_GETDEFID:
        return focusedDefaultButton(m_hwnd);
    case WM_ENDSESSION:
        return sessionEnding(wParam != 0);
    case WM_ACTIVATE:
        return m_focus.activated(m_hwnd, wParam, lParam);
    default:
        return DefWindowProcW(m_hwnd, message, wParam, lParam);
    }
}

} // namespace korvane
