#pragma once

#include <string>
#include <string_view>

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace korvane {

std::wstring toWide(std::string_view utf8);
std::string toUtf8(std::wstring_view wide);

// Every property call goes through here: a control whose window has gone is an error.
HWND checked(HWND hwnd);

// A window's text; a read that fails raises the runtime error rather than reading as empty.
std::wstring windowText(HWND hwnd);
void setWindowText(HWND hwnd, std::string_view text);

// The window's own DPI where the system knows it (per-monitor aware), else the DPI of the
// monitor it is on, else the system's.
UINT dpiOf(HWND hwnd);
// The DPI the system gives a program that does not ask per monitor.
UINT systemDpi();
// The effective DPI of a monitor, where the system tells it (Windows 8.1 and later), else
// the system's.
UINT monitorDpi(HMONITOR monitor);
// The frame around a client area, at the DPI.
RECT frameAround(RECT client, DWORD style, DWORD exStyle, UINT dpi);
int toPixels(int twips, UINT dpi);
// A system metric (an icon's size, say) at the DPI, where the system can tell it.
int systemMetric(int index, UINT dpi);
HFONT makeFont(const wchar_t* face, double points, int weight, int charset, UINT dpi);

} // namespace korvane
