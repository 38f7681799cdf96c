#include "platform/win32/Win32Timer.h"

#include "platform/win32/Win32Platform.h"

#include <algorithm>
#include <cmath>

namespace korvane {

Win32Timer::Win32Timer(std::string_view name, HWND form, UINT_PTR id, int interval,
                       Win32Platform& platform)
    : m_name(name), m_form(form), m_id(id), m_interval(interval), m_platform(platform) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    m_frequency = frequency.QuadPart;
}

void Win32Timer::setEnabled(bool enabled) {
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

bool Win32Timer::isEnabled() const {
    checked(m_form);
    return m_enabled;
}

void Win32Timer::onTimer(Handler handler) {
    m_handler = m_platform.guarded(std::move(handler));
}

void Win32Timer::fire() {
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

double Win32Timer::nowMs() const {
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(m_frequency);
}

void Win32Timer::arm(double now) {
    const double wait = due(m_count + 1) - now;
    const UINT ms = static_cast<UINT>(std::max<double>(USER_TIMER_MINIMUM, std::lround(wait)));
    SetTimer(m_form, m_id, ms, nullptr);
}

} // namespace korvane
