#include "platform/win32/Win32Platform.h"

#include "platform/RuntimeError.h"
#include "platform/win32/Win32Window.h"

#include <objbase.h>

namespace korvane {

namespace {
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

} // namespace

void Win32Platform::registerFormClass() {
    static const bool registered = [] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = formProcedure;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = formClass;
        wc.hIcon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(programIcon));
        return RegisterClassExW(&wc) != 0;
    }();
    if (!registered) {
        throw RuntimeError(error::invalidProcedureCall, "无法创建窗口");
    }
}

Win32Platform::Win32Platform()
    : PlatformBase(
          [](const std::string& text) {
              // Task-modal: every window of the program waits for it, none takes a click.
              MessageBoxW(nullptr, toWide(text).c_str(), L"Korvane",
                          MB_OK | MB_ICONERROR | MB_TASKMODAL);
          },
          [](int exitCode) {
              // Every window of the program goes away at once.
              for (HWND hwnd : programWindows()) {
                  ShowWindow(hwnd, SW_HIDE);
              }
              PostQuitMessage(exitCode);
          }) {}

Win32Platform::~Win32Platform() = default;

Win32Platform::Com::Com() : started(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}

Win32Platform::Com::~Com() {
    if (started) {
        CoUninitialize();
    }
}

std::vector<HWND> Win32Platform::programWindows() {
    std::vector<HWND> windows;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND hwnd, LPARAM list) CALLBACK -> BOOL {
            wchar_t name[32] = {};
            GetClassNameW(hwnd, name, 32);
            if (std::wstring_view(name) == formClass) {
                reinterpret_cast<std::vector<HWND>*>(list)->push_back(hwnd);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&windows));
    return windows;
}

std::unique_ptr<Window> Win32Platform::createWindow(const WindowLayout& layout) {
    registerFormClass();
    auto window = std::make_unique<Win32Window>(layout, *this);
    if (!startUpWindow()) {
        m_startUp = window->hwnd();
    }
    return window;
}

const Win32Window* Win32Platform::startUpWindow() const {
    if (!m_startUp || !IsWindow(m_startUp)) {
        return nullptr;
    }
    return reinterpret_cast<const Win32Window*>(GetWindowLongPtrW(m_startUp, GWLP_USERDATA));
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
