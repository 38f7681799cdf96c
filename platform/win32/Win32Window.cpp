#include "platform/win32/Win32Window.h"

#include "platform/RuntimeError.h"
#include "platform/win32/Win32Platform.h"

#include <algorithm>
#include <utility>

namespace korvane {

namespace {

constexpr int firstControlId = 100; // clear of IDOK and IDCANCEL, which Enter and Escape send
#ifndef WM_GETDPISCALEDSIZE
constexpr UINT WM_GETDPISCALEDSIZE = 0x02E4; // Windows 10 1703
#endif

std::wstring_view trimmed(std::wstring_view text) {
    const auto first = text.find_first_not_of(L" \t");
    const auto last = text.find_last_not_of(L" \t");
    return first == text.npos ? std::wstring_view{} : text.substr(first, last - first + 1);
}

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
    restoreFocus(); // the first time, the first control in tab order
}

void Win32Window::hide() {
    rememberFocus();
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

void Win32Window::rememberFocus() {
    HWND focus = GetFocus();
    if (focus && IsChild(m_hwnd, focus)) {
        m_lastFocus = focus;
    }
}

bool Win32Window::restoreFocus() {
    HWND target = m_lastFocus;
    if (!target || !IsChild(m_hwnd, target) || !IsWindowEnabled(target) ||
        !IsWindowVisible(target)) {
        target = GetNextDlgTabItem(m_hwnd, nullptr, FALSE);
    }
    if (!target) {
        return false;
    }
    SetFocus(target);
    return true;
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
    std::vector<std::pair<int, HWND>> tabOrder;
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
        if (GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_TABSTOP) {
            tabOrder.emplace_back(row.tabIndex, hwnd);
        }
        if (auto* bar = dynamic_cast<Win32ScrollBar*>(control.get())) {
            m_scrollBars[hwnd] = bar;
        }
        if (!row.settings.accessibleName.empty()) {
            m_platform.annotations().name(hwnd, toWide(row.settings.accessibleName));
        }
        if (row.settings.live) {
            m_platform.annotations().markLive(hwnd);
        }
        addControl(row.name, row.index, std::move(control));
    }
    // A box is named by the words of its caption, which is built after it.
    for (const Native& native : m_natives) {
        if (!native.row->settings.captionedBy.empty()) {
            if (HWND caption = controlHandle(native.row->settings.captionedBy, noIndex)) {
                m_platform.annotations().name(native.hwnd,
                                              std::wstring(trimmed(windowText(caption))));
            }
        }
    }
    // Tab order is the order of the child windows: place them by tab index.
    std::stable_sort(tabOrder.begin(), tabOrder.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    HWND previous = HWND_TOP;
    for (const auto& [tab, hwnd] : tabOrder) {
        SetWindowPos(hwnd, previous, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        previous = hwnd;
    }
}

LRESULT Win32Window::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND: {
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
    case WM_TIMER: {
        const auto found = m_timers.find(static_cast<UINT_PTR>(wParam));
        if (found != m_timers.end()) {
            found->second->fire();
        }
        return 0;
    }
    case WM_HSCROLL: {
        const auto found = m_scrollBars.find(reinterpret_cast<HWND>(lParam));
        if (found != m_scrollBars.end()) {
            found->second->scroll(LOWORD(wParam), static_cast<short>(HIWORD(wParam)));
        }
        return 0;
    }
    case WM_CLOSE:
        if (m_closeRemoved) {
            return 0; // refused: only Exit ends the program
        }
        m_closed = true;
        DestroyWindow(m_hwnd);
        return 0;
    case WM_GETDPISCALEDSIZE: {
        // Captions and borders do not scale in proportion: the frame is what the layout's
        // client area needs at the new DPI.
        const RECT frame = laidOutFrame(static_cast<UINT>(wParam));
        *reinterpret_cast<SIZE*>(lParam) = {frame.right - frame.left, frame.bottom - frame.top};
        return TRUE;
    }
    case WM_DPICHANGED: {
        // Where Windows suggests: the window stays on the monitor the user moved it to, with
        // its client area exactly the layout's size there.
        const UINT dpi = HIWORD(wParam);
        layOut(dpi);
        const auto* suggested = reinterpret_cast<const RECT*>(lParam);
        const RECT frame = laidOutFrame(dpi);
        SetWindowPos(m_hwnd, nullptr, suggested->left, suggested->top, frame.right - frame.left,
                     frame.bottom - frame.top, SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }
    case DM_GETDEFID: {
        // The default button is the focused push button, so that Enter presses it; with the
        // focus elsewhere there is none, and Enter presses nothing.
        HWND focus = GetFocus();
        if (focus && GetParent(focus) == m_hwnd &&
            (SendMessageW(focus, WM_GETDLGCODE, 0, 0) &
             (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON))) {
            return MAKELRESULT(GetDlgCtrlID(focus), DC_HASDEFID);
        }
        return 0;
    }
    case WM_ENDSESSION:
        // Log-off, shutdown, or Restart Manager closing the program for an installer: the
        // same end as Exit. The session is never held up (WM_QUERYENDSESSION says yes).
        if (wParam) {
            m_platform.endProgram();
        }
        return 0;
    case WM_ACTIVATE:
        // The dialog manager's habit: the focus goes back where the user left it.
        if (LOWORD(wParam) == WA_INACTIVE) {
            rememberFocus();
            return 0;
        }
        if (!HIWORD(wParam) && restoreFocus()) {
            return 0;
        }
        return DefWindowProcW(m_hwnd, message, wParam, lParam);
    default:
        return DefWindowProcW(m_hwnd, message, wParam, lParam);
    }
}

} // namespace korvane
