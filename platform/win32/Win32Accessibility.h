#pragma once

#include "platform/win32/Win32Support.h"

#include <string>

struct IAccPropServices;

namespace korvane {

// What a screen reader needs beyond what Windows' controls tell it by themselves, set
// through Active Accessibility's annotation service: names for controls that show no text
// of their own, and live regions for labels whose changes are spoken by themselves. Best
// effort, as on every platform: a system without the service annotates nothing.
class Annotations {
public:
    Annotations() = default;
    ~Annotations();
    Annotations(const Annotations&) = delete;
    Annotations& operator=(const Annotations&) = delete;

    void name(HWND control, const std::wstring& name);
    // A polite live region: the screen reader finishes what it is saying first.
    void markLive(HWND label);

private:
    IAccPropServices* service();

    IAccPropServices* m_service = nullptr;
    bool m_asked = false;
};

// Tells a screen reader that a live label now shows a text to speak.
void announceChange(HWND label);

} // namespace korvane
