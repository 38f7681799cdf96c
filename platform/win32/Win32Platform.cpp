#include "platform/win32/Win32Platform.h"

#include "platform/win32/Win32Window.h"

namespace korvane {

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
                      if (std::wstring_view(name) == Win32Platform::formClass) {
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
