#include "platform/win32/Win32Platform.h"

#include "platform/RuntimeError.h"
#include "platform/WindowBase.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <utility>
#include <vector>

namespace korvane {

std::wstring toWide(std::string_view utf8) {
    if (utf8.empty()) {
        return {};
    }
    const int size = static_cast<int>(utf8.size());
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), length);
    return wide;
}

std::string toUtf8(std::wstring_view wide) {
    if (wide.empty()) {
        return {};
    }
    const int size = static_cast<int>(wide.size());
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, utf8.data(), length, nullptr, nullptr);
    return utf8;
}

namespace {

constexpr wchar_t formClass[] = L"KorvaneForm";
constexpr int firstControlId = 100; // clear of IDOK and IDCANCEL, which Enter and Escape send
constexpr DWORD formStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD formExStyle = WS_EX_CONTROLPARENT;
constexpr int comboListRows = 12;

// The window's own DPI where the system knows it (per-monitor aware), else the screen's.
UINT dpiOf(HWND hwnd) {
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto getDpi = reinterpret_cast<GetDpiForWindowFn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    if (getDpi && hwnd) {
        if (const UINT dpi = getDpi(hwnd)) {
            return dpi;
        }
    }
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

int toPixels(int twips, UINT dpi) {
    return MulDiv(twips, static_cast<int>(dpi), 1440);
}

[[noreturn]] void raiseObjectGone() {
    throw RuntimeError(error::objectRequired, "对象已不存在");
}

// Every property call goes through here: a control whose window has gone is an error.
HWND checked(HWND hwnd) {
    if (!hwnd || !IsWindow(hwnd)) {
        raiseObjectGone();
    }
    return hwnd;
}

std::wstring windowText(HWND hwnd) {
    const int length = GetWindowTextLengthW(checked(hwnd));
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(hwnd, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(std::max(copied, 0)));
    return text;
}

HFONT makeFont(const wchar_t* face, double points, int weight, int charset, UINT dpi) {
    const int height = -static_cast<int>(std::lround(points * dpi / 72.0));
    return CreateFontW(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, static_cast<DWORD>(charset),
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                       DEFAULT_PITCH | FF_DONTCARE, face);
}

class Win32Window;

// Routes one control's notifications to its handler.
using CommandRouter = std::function<void(int id, int code, Handler handler)>;

template <typename Base> class NativeControl : public Base {
public:
    explicit NativeControl(HWND hwnd) : m_hwnd(hwnd) {}
    void setEnabled(bool enabled) override {
        EnableWindow(checked(m_hwnd), enabled ? TRUE : FALSE);
    }
    bool isEnabled() const override { return IsWindowEnabled(checked(m_hwnd)) != FALSE; }

protected:
    HWND m_hwnd;
};

class NativeButton : public NativeControl<CommandButton> {
public:
    NativeButton(HWND hwnd, int id, CommandRouter router)
        : NativeControl(hwnd), m_id(id), m_router(std::move(router)) {}
    std::string text() const override { return toUtf8(windowText(m_hwnd)); }
    void onClick(Handler handler) override { m_router(m_id, BN_CLICKED, std::move(handler)); }

private:
    int m_id;
    CommandRouter m_router;
};

class NativeLabel : public NativeControl<Label> {
public:
    using NativeControl::NativeControl;
    std::string text() const override { return toUtf8(windowText(m_hwnd)); }
    void setText(std::string_view text) override {
        SetWindowTextW(checked(m_hwnd), toWide(text).c_str());
    }
};

class NativeTextBox : public NativeControl<TextBox> {
public:
    using NativeControl::NativeControl;
    std::string text() const override { return toUtf8(windowText(m_hwnd)); }
    void setText(std::string_view text) override {
        SetWindowTextW(checked(m_hwnd), toWide(text).c_str());
    }
};

class NativeComboBox : public NativeControl<ComboBox> {
public:
    NativeComboBox(HWND hwnd, int id, CommandRouter router)
        : NativeControl(hwnd), m_id(id), m_router(std::move(router)) {}
    std::string text() const override { return toUtf8(windowText(m_hwnd)); }
    void addItem(std::string_view text) override {
        const std::wstring wide = toWide(text);
        const LRESULT at =
            SendMessageW(checked(m_hwnd), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str()));
        if (at == CB_ERR || at == CB_ERRSPACE) {
            throw RuntimeError(error::invalidProcedureCall, "无效的过程调用或参数");
        }
    }
    int listCount() const override {
        return static_cast<int>(SendMessageW(checked(m_hwnd), CB_GETCOUNT, 0, 0));
    }
    std::string itemText(int index) const override {
        const auto length =
            SendMessageW(checked(m_hwnd), CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
        if (length == CB_ERR) {
            return {};
        }
        std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
        SendMessageW(m_hwnd, CB_GETLBTEXT, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(text.data()));
        text.resize(static_cast<std::size_t>(length));
        return toUtf8(text);
    }
    std::int16_t listIndex() const override {
        return checkedNarrow<std::int16_t>(SendMessageW(checked(m_hwnd), CB_GETCURSEL, 0, 0));
    }
    // Picking an entry, with the mouse or the arrow keys; typing in the field is no pick.
    void onClick(Handler handler) override { m_router(m_id, CBN_SELCHANGE, std::move(handler)); }

private:
    int m_id;
    CommandRouter m_router;
};

class NativeScrollBar : public NativeControl<ScrollBar> {
public:
    NativeScrollBar(HWND hwnd, int min, int max, int smallChange, int largeChange)
        : NativeControl(hwnd), m_min(min), m_max(max), m_small(smallChange), m_large(largeChange) {}
    void setValue(std::int16_t value) override {
        if (value < m_min || value > m_max) {
            throw RuntimeError(error::invalidPropertyValue, "无效的属性值");
        }
        SetScrollPos(checked(m_hwnd), SB_CTL, value, TRUE);
    }
    std::int16_t value() const override {
        return checkedNarrow<std::int16_t>(GetScrollPos(checked(m_hwnd), SB_CTL));
    }
    // The user's own moves of the bar: it follows them, and nothing else listens.
    void scroll(int request, int trackPosition) {
        int position = GetScrollPos(m_hwnd, SB_CTL);
        switch (request) {
        case SB_LINELEFT:
            position -= m_small;
            break;
        case SB_LINERIGHT:
            position += m_small;
            break;
        case SB_PAGELEFT:
            position -= m_large;
            break;
        case SB_PAGERIGHT:
            position += m_large;
            break;
        case SB_LEFT:
            position = m_min;
            break;
        case SB_RIGHT:
            position = m_max;
            break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION:
            position = trackPosition;
            break;
        default:
            return;
        }
        SetScrollPos(m_hwnd, SB_CTL, std::clamp(position, m_min, m_max), TRUE);
    }

private:
    int m_min;
    int m_max;
    int m_small;
    int m_large;
};

// Fires every interval on Start + k × interval without cumulative drift: each tick is
// armed for the next due time measured on the performance counter, so the system timer's
// coarseness never adds up. A tick that could not arrive in time is dropped, not made up.
class NativeTimer : public Timer {
public:
    NativeTimer(std::string_view name, HWND form, UINT_PTR id, int interval,
                Win32Platform& platform)
        : m_name(name), m_form(form), m_id(id), m_interval(interval), m_platform(platform) {
        LARGE_INTEGER frequency;
        QueryPerformanceFrequency(&frequency);
        m_frequency = frequency.QuadPart;
    }
    void setEnabled(bool enabled) override {
        checked(m_form);
        if (enabled == m_enabled) {
            return;
        }
        m_enabled = enabled;
        if (enabled) {
            m_start = nowMs();
            m_count = 0;
            arm(m_start);
        } else {
            KillTimer(m_form, m_id);
        }
    }
    bool isEnabled() const override {
        checked(m_form);
        return m_enabled;
    }
    void onTimer(Handler handler) override { m_handler = m_platform.guarded(std::move(handler)); }
    std::string_view name() const { return m_name; }

    void fire() {
        if (!m_enabled) {
            return;
        }
        const double now = nowMs();
        ++m_count;
        if (now - due(m_count) >= m_interval) {
            m_count = static_cast<long long>((now - m_start) / m_interval);
        }
        arm(now);
        if (m_handler) {
            m_handler();
        }
    }

private:
    double nowMs() const {
        LARGE_INTEGER counter;
        QueryPerformanceCounter(&counter);
        return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(m_frequency);
    }
    double due(long long tick) const { return m_start + static_cast<double>(tick) * m_interval; }
    void arm(double now) {
        const double wait = due(m_count + 1) - now;
        const UINT ms = static_cast<UINT>(std::max<double>(USER_TIMER_MINIMUM, std::lround(wait)));
        SetTimer(m_form, m_id, ms, nullptr);
    }

    std::string_view m_name;
    HWND m_form;
    UINT_PTR m_id;
    int m_interval;
    Win32Platform& m_platform;
    long long m_frequency = 1;
    Handler m_handler;
    bool m_enabled = false;
    double m_start = 0;
    long long m_count = 0;
};

class Win32Window : public WindowBase {
public:
    Win32Window(const WindowLayout& layout, Win32Platform& platform);
    ~Win32Window() override;
    Win32Window(const Win32Window&) = delete;
    Win32Window& operator=(const Win32Window&) = delete;

    void removeCloseCommand() override {
        m_closeRemoved = true;
        // The system menu's Close entry; the title bar's close button goes with it.
        if (HMENU menu = GetSystemMenu(checked(m_hwnd), FALSE)) {
            RemoveMenu(menu, SC_CLOSE, MF_BYCOMMAND);
        }
    }
    bool exists() const override { return m_hwnd && IsWindow(m_hwnd) && !m_closed; }
    bool isVisible() const override { return IsWindowVisible(checked(m_hwnd)) != FALSE; }
    void show() override {
        ShowWindow(checked(m_hwnd), SW_SHOWNORMAL);
        if (!m_shownBefore && m_firstTabStop) {
            SetFocus(m_firstTabStop);
        }
        m_shownBefore = true;
    }
    void hide() override { ShowWindow(checked(m_hwnd), SW_HIDE); }
    void showWarning(std::string_view text) override {
        const std::wstring caption = windowText(m_hwnd);
        MessageBoxW(checked(m_hwnd), toWide(text).c_str(), caption.c_str(), MB_OK | MB_ICONWARNING);
    }

    HWND hwnd() const { return m_hwnd; }
    UINT_PTR timerId(std::string_view name) const {
        for (const auto& [id, timer] : m_timers) {
            if (timer->name() == name) {
                return id;
            }
        }
        return 0;
    }
    HWND controlHandle(std::string_view name, int index) const {
        for (const auto& entry : m_natives) {
            if (entry.name == name && entry.index == index) {
                return entry.hwnd;
            }
        }
        return nullptr;
    }

    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);

private:
    struct Native {
        std::string name;
        int index;
        HWND hwnd;
        const ControlLayout* row;
    };

    void build();
    void applyLayout(UINT dpi);

    const WindowLayout& m_layout;
    Win32Platform& m_platform;
    HWND m_hwnd = nullptr;
    HWND m_firstTabStop = nullptr;
    bool m_closeRemoved = false;
    bool m_closed = false;
    bool m_shownBefore = false;
    HFONT m_font = nullptr;
    std::map<std::string_view, HFONT> m_customFonts;
    std::vector<Native> m_natives;
    std::map<std::pair<int, int>, Handler> m_commands;
    std::map<UINT_PTR, NativeTimer*> m_timers;
    std::map<HWND, NativeScrollBar*> m_scrollBars;
};

// A button takes the focus when it is pressed with the mouse; it remembers where the focus
// was, so that the click can hand it back: clicking Clear leaves the user in the box they
// were typing in. Tab still reaches the buttons.
constexpr wchar_t focusBeforeClick[] = L"KorvaneFocusBeforeClick";
WNDPROC buttonClassProcedure = nullptr;

LRESULT CALLBACK buttonProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK) {
        SetPropW(hwnd, focusBeforeClick, GetFocus());
    }
    return CallWindowProcW(buttonClassProcedure, hwnd, message, wParam, lParam);
}

void giveFocusBack(HWND button) {
    auto* previous = static_cast<HWND>(RemovePropW(button, focusBeforeClick));
    if (previous && previous != button && IsWindow(previous) &&
        GetAncestor(previous, GA_ROOT) == GetAncestor(button, GA_ROOT)) {
        SetFocus(previous);
    }
}

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
        wc.lpszClassName = formClass;
        wc.hIcon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(2));
        return RegisterClassExW(&wc) != 0;
    }();
    if (!registered) {
        throw RuntimeError(error::invalidProcedureCall, "无法创建窗口");
    }
}

Win32Window::Win32Window(const WindowLayout& layout, Win32Platform& platform)
    : m_layout(layout), m_platform(platform) {
    registerFormClass();
    m_hwnd = CreateWindowExW(formExStyle, formClass, toWide(layout.caption).c_str(), formStyle,
                             CW_USEDEFAULT, CW_USEDEFAULT, 100, 100, nullptr, nullptr,
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
    HINSTANCE instance = GetModuleHandleW(nullptr);
    const CommandRouter router = [this](int id, int code, Handler handler) {
        m_commands[{id, code}] = m_platform.guarded(std::move(handler));
    };
    std::vector<std::pair<int, HWND>> tabOrder;
    int id = firstControlId;
    for (const ControlLayout& row : m_layout.controls) {
        ++id;
        const std::wstring text = toWide(row.text);
        const DWORD enabled = row.settings.enabled ? 0 : WS_DISABLED;
        const auto child = [&](DWORD exStyle, const wchar_t* cls, DWORD style) {
            HWND hwnd = CreateWindowExW(
                exStyle, cls, text.c_str(), WS_CHILD | WS_VISIBLE | enabled | style, 0, 0, 10, 10,
                m_hwnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
            if (!hwnd) {
                throw RuntimeError(error::invalidProcedureCall, "无法创建控件");
            }
            m_natives.push_back({std::string(row.name), row.index, hwnd, &row});
            if (style & WS_TABSTOP) {
                tabOrder.emplace_back(row.tabIndex, hwnd);
            }
            return hwnd;
        };
        switch (row.kind) {
        case ControlKind::CommandButton: {
            HWND hwnd = child(0, L"BUTTON", WS_TABSTOP | BS_PUSHBUTTON);
            buttonClassProcedure = reinterpret_cast<WNDPROC>(
                SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(buttonProcedure)));
            addControl(row.name, row.index, std::make_unique<NativeButton>(hwnd, id, router));
            break;
        }
        case ControlKind::Label: {
            HWND hwnd = child(0, L"STATIC", SS_LEFT | SS_NOPREFIX);
            addControl(row.name, row.index, std::make_unique<NativeLabel>(hwnd));
            break;
        }
        case ControlKind::TextBox: {
            HWND hwnd = child(WS_EX_CLIENTEDGE, L"EDIT", WS_TABSTOP | ES_AUTOHSCROLL | ES_LEFT);
            SendMessageW(hwnd, EM_SETLIMITTEXT, 0, 0); // no length limit
            addControl(row.name, row.index, std::make_unique<NativeTextBox>(hwnd));
            break;
        }
        case ControlKind::ComboBox: {
            HWND hwnd =
                child(0, L"COMBOBOX", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL);
            SetWindowTextW(hwnd, text.c_str()); // the field's text; the list starts empty
            addControl(row.name, row.index, std::make_unique<NativeComboBox>(hwnd, id, router));
            break;
        }
        case ControlKind::HScrollBar: {
            HWND hwnd = child(0, L"SCROLLBAR", WS_TABSTOP | SBS_HORZ);
            SCROLLINFO info{};
            info.cbSize = sizeof info;
            info.fMask = SIF_RANGE | SIF_POS;
            info.nMin = row.settings.min;
            info.nMax = row.settings.max;
            info.nPos = row.settings.value;
            SetScrollInfo(hwnd, SB_CTL, &info, FALSE);
            auto bar = std::make_unique<NativeScrollBar>(hwnd, row.settings.min, row.settings.max,
                                                         row.settings.smallChange,
                                                         row.settings.largeChange);
            m_scrollBars[hwnd] = bar.get();
            addControl(row.name, row.index, std::move(bar));
            break;
        }
        case ControlKind::Timer: {
            auto timer = std::make_unique<NativeTimer>(row.name, m_hwnd, static_cast<UINT_PTR>(id),
                                                       row.settings.interval, m_platform);
            m_timers[static_cast<UINT_PTR>(id)] = timer.get();
            timer->setEnabled(row.settings.enabled);
            addControl(row.name, row.index, std::move(timer));
            break;
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

} // namespace

Win32Platform::Win32Platform()
    : m_dispatch(
          [](const std::string& text) {
              MessageBoxW(nullptr, toWide(text).c_str(), L"Korvane", MB_OK | MB_ICONERROR);
          },
          [](int exitCode) {
              // Every window of the program goes away at once.
              EnumThreadWindows(
                  GetCurrentThreadId(),
                  [](HWND hwnd, LPARAM) -> BOOL {
                      wchar_t name[32] = {};
                      GetClassNameW(hwnd, name, 32);
                      if (std::wstring_view(name) == formClass) {
                          ShowWindow(hwnd, SW_HIDE);
                      }
                      return TRUE;
                  },
                  0);
              PostQuitMessage(exitCode);
          }) {}

Win32Platform::~Win32Platform() = default;

std::unique_ptr<Window> Win32Platform::createWindow(const WindowLayout& layout) {
    return std::make_unique<Win32Window>(layout, *this);
}

void Win32Platform::endProgram() {
    m_dispatch.end(0);
}

int Win32Platform::run() {
    MSG message;
    while (!hasEnded() && GetMessageW(&message, nullptr, 0, 0) > 0) {
        // Tab and the arrow keys move between a window's controls as in a dialog box.
        HWND root = GetAncestor(message.hwnd, GA_ROOT);
        if (root && IsDialogMessageW(root, &message)) {
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return exitCode();
}

HWND Win32Platform::handle(Window& window) {
    auto* native = dynamic_cast<Win32Window*>(&window);
    return native ? native->hwnd() : nullptr;
}

UINT_PTR Win32Platform::timerId(Window& window, std::string_view name) {
    auto* native = dynamic_cast<Win32Window*>(&window);
    return native ? native->timerId(name) : 0;
}

HWND Win32Platform::control(Window& window, std::string_view name, int index) {
    auto* native = dynamic_cast<Win32Window*>(&window);
    return native ? native->controlHandle(name, index) : nullptr;
}

} // namespace korvane
