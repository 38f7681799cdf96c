#pragma once

#include "platform/WindowBase.h"
#include "platform/win32/Win32Controls.h"
#include "platform/win32/Win32Focus.h"
#include "platform/win32/Win32Timer.h"

#include <map>
#include <string>
#include <vector>

namespace korvane {

class Win32Platform;

#ifndef WM_GETDPISCALEDSIZE
inline constexpr UINT WM_GETDPISCALEDSIZE = 0x02E4; // Windows 10 1703
#endif

// A window built from its layout table: a fixed-size frame around a client area that
// opens at the laid-out place, its controls placed in twips turned into pixels at the
// window's DPI, the tab order taken from the tab indexes.
class Win32Window : public WindowBase {
public:
    Win32Window(const WindowLayout& layout, Win32Platform& platform);
    ~Win32Window() override;
    Win32Window(const Win32Window&) = delete;
    Win32Window& operator=(const Win32Window&) = delete;

    void removeCloseCommand() override;
    bool exists() const override { return m_hwnd && IsWindow(m_hwnd) && !m_closed; }
    bool isVisible() const override {
        return IsWindowVisible(checked(m_hwnd)) && !IsIconic(m_hwnd);
    }
    void show() override;
    void hide() override;
    void showWarning(std::string_view text) override;

    HWND hwnd() const { return m_hwnd; }
    UINT_PTR timerId(std::string_view name) const;
    HWND controlHandle(std::string_view name, int index) const;

    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);

private:
    static constexpr DWORD formStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    static constexpr DWORD formExStyle = WS_EX_CONTROLPARENT;

    struct Native {
        std::string name;
        int index;
        HWND hwnd;
        const ControlLayout* row;
    };

    void build();
    // The client area at the laid-out place, and the frame around it, at the DPI.
    RECT laidOutClient(UINT dpi) const;
    RECT laidOutFrame(UINT dpi) const;
    // On the first show: beside the start-up window, or, being that one, on the work area.
    void placeOnFirstShow();
    void placeFrame(UINT dpi);
    // Controls, fonts and icons at the DPI.
    void layOut(UINT dpi);
    // The answers to the messages that the window handles itself.
    LRESULT command(WPARAM wParam, LPARAM lParam);
    LRESULT timerFired(UINT_PTR id);
    LRESULT scrolled(WPARAM wParam, HWND bar);
    LRESULT closeAsked();
    LRESULT sessionEnding(bool ends);
    LRESULT scaledSize(UINT dpi, SIZE& size) const;
    LRESULT dpiChanged(UINT dpi, const RECT& suggested);

    const WindowLayout& m_layout;
    Win32Platform& m_platform;
    HWND m_hwnd = nullptr;
    bool m_placed = false;
    bool m_closeRemoved = false;
    bool m_closed = false;
    FocusMemory m_focus;
    HICON m_icons[2] = {}; // big, small
    HFONT m_font = nullptr;
    std::map<std::string_view, HFONT> m_customFonts;
    std::vector<Native> m_natives;
    std::map<std::pair<int, int>, Handler> m_commands;
    std::map<UINT_PTR, Win32Timer*> m_timers;
    std::map<HWND, Win32ScrollBar*> m_scrollBars;
};

} // namespace korvane
