#include "platform/win32/Win32Support.h"

#include "platform/RuntimeError.h"

#include <algorithm>
#include <cmath>

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

HWND checked(HWND hwnd) {
    if (!hwnd || !IsWindow(hwnd)) {
        raiseObjectGone();
    }
    return hwnd;
}

namespace {
[[noreturn]] void raiseTextFailed() {
    throw RuntimeError(error::invalidProcedureCall, "无效的过程调用或参数");
}
} // namespace

// Both calls answer 0 for an empty text as well as for a failure: only the last error
// tells them apart.
std::wstring windowText(HWND hwnd) {
    checked(hwnd);
    SetLastError(ERROR_SUCCESS);
    const int length = GetWindowTextLengthW(hwnd);
    if (length == 0 && GetLastError() != ERROR_SUCCESS) {
        raiseTextFailed();
    }
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    SetLastError(ERROR_SUCCESS);
    const int copied = GetWindowTextW(hwnd, text.data(), length + 1);
    if (copied == 0 && GetLastError() != ERROR_SUCCESS) {
        raiseTextFailed();
    }
    text.resize(static_cast<std::size_t>(std::clamp(copied, 0, length)));
    return text;
}

void setWindowText(HWND hwnd, std::string_view text) {
    if (!SetWindowTextW(checked(hwnd), toWide(text).c_str())) {
        raiseTextFailed();
    }
}

namespace {

// A function of user32 that older Windows lack, looked up once.
template <typename Function> Function user32Function(const char* name) {
    return reinterpret_cast<Function>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name)));
}

} // namespace

UINT systemDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

UINT monitorDpi(HMONITOR monitor) {
    using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
    // From Windows' own folder only: a shcore.dll beside the program is never loaded.
    static const auto getDpi = [] {
        HMODULE shcore = LoadLibraryExW(L"shcore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        return shcore ? reinterpret_cast<GetDpiForMonitorFn>(
                            reinterpret_cast<void*>(GetProcAddress(shcore, "GetDpiForMonitor")))
                      : nullptr;
    }();
    constexpr int effectiveDpi = 0; // MDT_EFFECTIVE_DPI
    UINT x = 0;
    UINT y = 0;
    if (getDpi && monitor && SUCCEEDED(getDpi(monitor, effectiveDpi, &x, &y)) && y > 0) {
        return y;
    }
    return systemDpi();
}

UINT dpiOf(HWND hwnd) {
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto getDpi = user32Function<GetDpiForWindowFn>("GetDpiForWindow");
    if (getDpi && hwnd) {
        if (const UINT dpi = getDpi(hwnd)) {
            return dpi;
        }
    }
    return monitorDpi(hwnd ? MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST) : nullptr);
}

RECT frameAround(RECT client, DWORD style, DWORD exStyle, UINT dpi) {
    RECT frame = client;
    using AdjustForDpiFn = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
    static const auto adjustForDpi = user32Function<AdjustForDpiFn>("AdjustWindowRectExForDpi");
    if (adjustForDpi) {
        adjustForDpi(&frame, style, FALSE, exStyle, dpi);
    } else {
        AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    }
    return frame;
}

int toPixels(int twips, UINT dpi) {
    return MulDiv(twips, static_cast<int>(dpi), 1440);
}

int systemMetric(int index, UINT dpi) {
    using GetSystemMetricsForDpiFn = int(WINAPI*)(int, UINT);
    static const auto forDpi = user32Function<GetSystemMetricsForDpiFn>("GetSystemMetricsForDpi");
    return forDpi ? forDpi(index, dpi) : GetSystemMetrics(index);
}

HFONT makeFont(const wchar_t* face, double points, int weight, int charset, UINT dpi) {
    const int height = -static_cast<int>(std::lround(points * dpi / 72.0));
    return CreateFontW(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, static_cast<DWORD>(charset),
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                       DEFAULT_PITCH | FF_DONTCARE, face);
}

} // namespace korvane
