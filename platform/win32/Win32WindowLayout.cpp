#include "platform/Placement.h"
#include "platform/win32/Win32Platform.h"
#include "platform/win32/Win32Window.h"

// A window's frame, controls, fonts and icons at a DPI: laid out once when it is created,
// and again when it moves to a monitor of other scaling.
namespace korvane {

namespace {

constexpr int comboListRows = 12;

Rect toRect(const RECT& rect) {
    return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

// A window's frame and client area, on the screen.
struct OnScreen {
    RECT frame;
    RECT client;
};
OnScreen onScreen(HWND hwnd) {
    OnScreen placed{};
    GetWindowRect(hwnd, &placed.frame);
    GetClientRect(hwnd, &placed.client);
    MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&placed.client), 2);
    return placed;
}

} // namespace

RECT Win32Window::laidOutClient(UINT dpi) const {
    const auto px = [dpi](int twips) { return toPixels(twips, dpi); };
    return {px(m_layout.left), px(m_layout.top), px(m_layout.left) + px(m_layout.width),
            px(m_layout.top) + px(m_layout.height)};
}

// The layout gives the client area; the frame goes around it.
RECT Win32Window::laidOutFrame(UINT dpi) const {
    return frameAround(laidOutClient(dpi), formStyle, formExStyle, dpi);
}

void Win32Window::placeOnFirstShow() {
    const auto [frame, client] = onScreen(m_hwnd);
    const Margins margins{client.left - frame.left, client.top - frame.top,
                          frame.right - client.right, frame.bottom - client.bottom};
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(m_hwnd, MONITOR_DEFAULTTONEAREST), &monitor);
    const UINT dpi = dpiOf(m_hwnd);
    const RECT laidOut = laidOutClient(dpi);
    Point place{};
    const Win32Window* main = m_platform.startUpWindow();
    if (main && main != this && IsWindowVisible(main->m_hwnd)) {
        const OnScreen mainPlaced = onScreen(main->m_hwnd);
        place = openingPlace(toRect(laidOut), margins,
                             {toRect(main->laidOutClient(dpiOf(main->m_hwnd))),
                              toRect(mainPlaced.client), toRect(mainPlaced.frame)},
                             toRect(monitor.rcWork));
    } else {
        // The layout's places are workspace coordinates, as a window placement's are: a
        // taskbar at the top or the left pushes the window by its size.
        place = {laidOut.left + monitor.rcWork.left - monitor.rcMonitor.left,
                 laidOut.top + monitor.rcWork.top - monitor.rcMonitor.top};
    }
    SetWindowPos(m_hwnd, nullptr, place.x - margins.left, place.y - margins.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Only at creation: from then on the window stays where the user puts it.
void Win32Window::placeFrame(UINT dpi) {
    const RECT frame = laidOutFrame(dpi);
    SetWindowPos(m_hwnd, nullptr, frame.left, frame.top, frame.right - frame.left,
                 frame.bottom - frame.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

// Captions and borders do not scale in proportion: the frame is what the layout's client
// area needs at the new DPI.
LRESULT Win32Window::scaledSize(UINT dpi, SIZE& size) const {
    const RECT frame = laidOutFrame(dpi);
    size = {frame.right - frame.left, frame.bottom - frame.top};
    return TRUE;
}

// Where Windows suggests: the window stays on the monitor the user moved it to, with its
// client area exactly the layout's size there.
LRESULT Win32Window::dpiChanged(UINT dpi, const RECT& suggested) {
    layOut(dpi);
    const RECT frame = laidOutFrame(dpi);
    SetWindowPos(m_hwnd, nullptr, suggested.left, suggested.top, frame.right - frame.left,
                 frame.bottom - frame.top, SWP_NOZORDER | SWP_NOACTIVATE);
    return 0;
}

void Win32Window::layOut(UINT dpi) {
    const auto px = [dpi](int twips) { return toPixels(twips, dpi); };
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
    // The frame's icons, drawn for this DPI from the sizes the icon resource holds.
    const std::pair<WPARAM, int> icons[] = {{ICON_BIG, SM_CXICON}, {ICON_SMALL, SM_CXSMICON}};
    for (std::size_t i = 0; i < 2; ++i) {
        const int size = systemMetric(icons[i].second, dpi);
        auto* icon = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr),
                                                   MAKEINTRESOURCEW(Win32Platform::programIcon),
                                                   IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
        SendMessageW(m_hwnd, WM_SETICON, icons[i].first, reinterpret_cast<LPARAM>(icon));
        DestroyIcon(m_icons[i]);
        m_icons[i] = icon;
    }
}

} // namespace korvane
