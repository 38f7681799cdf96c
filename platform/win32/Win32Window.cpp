#include "platform/win32/Win32Window.h"

#include "platform/RuntimeError.h"
#include "platform/win32/Win32Platform.h"

#include <algorithm>
#include <utility>

namespace korvane {

namespace {

constexpr int firstControlId = 100; // clear of IDOK and IDCANCEL, which Enter and Escape send
constexpr DWORD formStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD formExStyle = WS_EX_CONTROLPARENT;
constexpr int comboListRows = 12;

LRESULT CALLBACK formProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* window = reinterpret_cast<Win32Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (window && window->hwnd() == hwnd) {
        return window->handle(message, wParam, lParam);
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

void registerFormClass() {
    static const bool registered = [] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = formProcedure;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = Win32Platform::formClass;
        wc.hIcon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(2));
        return RegisterClassExW(&wc) != 0;
    }();
    if (!registered) {
        throw RuntimeError(error::invalidProcedureCall, "无法创建窗口");
    }
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
    ShowWindow(checked(m_hwnd), SW_SHOWNORMAL);
    if (!m_shownBefore && m_firstTabStop) {
        SetFocus(m_firstTabStop);
    }
    m_shownBefore = true;
}

void Win32Window::hide() {
    ShowWindow(checked(m_hwnd), SW_HIDE);
}

void Win32Window::showWarning(std::string_view text) {
    const std::wstring caption = windowText(m_hwnd);
    MessageBoxW(checked(m_hwnd), toWide(text).c_str(), caption.c_str(), MB_OK | MB_ICONWARNING);
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
    registerFormClass();
    m_hwnd = CreateWindowExW(formExStyle, Win32Platform::formClass, toWide(layout.caption).c_str(),
                             formStyle, CW_USEDEFAULT, CW_USEDEFAULT, 100, 100, nullptr, nullptr,
                             GetModuleHandleW(nullptr), this);
    if (!m_hwnd) {
        throw RuntimeError(error::invalidProcedureCall, "无法创建窗口");
    }
    build();
    applyLayout(dpiOf(m_hwnd));
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
        addControl(row.name, row.index, std::move(control));
    }
    // Tab order is the order of the child windows: place them by tab index.
    std::stable_sort(tabOrder.begin(), tabOrder.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    HWND previous = HWND_TOP;
    for (const auto& [tab, hwnd] : tabOrder) {
        SetWindowPos(hwnd, previous, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        previous = hwnd;
    }
    if (!tabOrder.empty()) {
        m_firstTabStop = tabOrder.front().second;
    }
}

void Win32Window::applyLayout(UINT dpi) {
    const auto px = [dpi](int twips) { return toPixels(twips, dpi); };
    // The layout gives the client area; the frame goes around it.
    RECT frame{0, 0, px(m_layout.width), px(m_layout.height)};
    using AdjustForDpiFn = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
    static const auto adjustForDpi = reinterpret_cast<AdjustForDpiFn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"user32.dll"), "AdjustWindowRectExForDpi")));
    if (adjustForDpi) {
        adjustForDpi(&frame, formStyle, FALSE, formExStyle, dpi);
    } else {
        AdjustWindowRectEx(&frame, formStyle, FALSE, formExStyle);
    }
    SetWindowPos(m_hwnd, nullptr, px(m_layout.left) + frame.left, px(m_layout.top) + frame.top,
                 frame.right - frame.left, frame.bottom - frame.top, SWP_NOZORDER | SWP_NOACTIVATE);

    HFONT oldFont = m_font;
    // The Chinese interface font; asking for its character set finds a Chinese face
    // wherever this one is missing.
    m_font = makeFont(L"Microsoft YaHei UI", 9.0, FW_NORMAL, GB2312_CHARSET, dpi);
    std::map<std::string_view, HFONT> oldCustom;
    oldCustom.swap(m_customFonts);
    for (const Native& native : m_natives) {
        const ControlLayout& row = *native.row;
        int height = px(row.height);
        if (row.kind == ControlKind::ComboBox) {
            height += comboListRows * px(255); // the field, and the list that drops below it
        }
        MoveWindow(native.hwnd, px(row.left), px(row.top), px(row.width), height, TRUE);
        HFONT font = m_font;
        if (const FontSpec* fontSpec = row.settings.font) {
            auto& custom = m_customFonts[fontSpec->face];
            if (!custom) {
                custom = makeFont(toWide(fontSpec->face).c_str(), fontSpec->points,
                                  fontSpec->weight, fontSpec->charset, dpi);
            }
            font = custom;
        }
        SendMessageW(native.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    }
    DeleteObject(oldFont);
    for (auto& [face, font] : oldCustom) {
        DeleteObject(font);
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
    case WM_DPICHANGED: {
        applyLayout(HIWORD(wParam));
        return 0;
    }
    default:
        return DefWindowProcW(m_hwnd, message, wParam, lParam);
    }
}

} // namespace korvane
