#pragma once

#include "platform/Window.h"
#include "platform/win32/Win32Support.h"

namespace korvane {

class Win32Platform;

// Fires every interval on Start + k × interval without cumulative drift: each tick is
// armed for the next due time measured on the performance counter, so the system timer's
// coarseness never adds up. A tick that could not arrive in time is dropped, not made up.
class Win32Timer : public Timer {
public:
    Win32Timer(std::string_view name, HWND form, UINT_PTR id, int interval,
               Win32Platform& platform);

    void setEnabled(bool enabled) override;
    bool isEnabled() const override;
    void onTimer(Handler handler) override;
    std::string_view name() const { return m_name; }

    // The window's WM_TIMER for this timer.
    void fire();

private:
    double nowMs() const;
    double due(long long tick) const { return m_start + static_cast<double>(tick) * m_interval; }
    void arm(double now);

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

} // namespace korvane
