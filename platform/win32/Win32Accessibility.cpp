#include "platform/win32/Win32Accessibility.h"

#include <initguid.h> // defines the accessibility GUIDs here
#include <oleacc.h>

namespace korvane {

namespace {

// UI Automation's LiveSetting property, which the annotation service carries for a window
// (Windows 8 and later read it); and its value for a polite region.
DEFINE_GUID(liveSettingProperty, 0xc12bcd8e, 0x2a8e, 0x4950, 0x8a, 0xe7, 0x36, 0x25, 0x11, 0x1d,
            0x58, 0xeb);
constexpr LONG politeLiveSetting = 1;
#ifndef EVENT_OBJECT_LIVEREGIONCHANGED
constexpr DWORD EVENT_OBJECT_LIVEREGIONCHANGED = 0x8019; // Windows 8
#endif

} // namespace

Annotations::~Annotations() {
    if (m_service) {
        m_service->Release();
    }
}

// Asked once, after the platform has started COM.
IAccPropServices* Annotations::service() {
    if (!m_asked) {
        m_asked = true;
        if (FAILED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                                    IID_IAccPropServices, reinterpret_cast<void**>(&m_service)))) {
            m_service = nullptr;
        }
    }
    return m_service;
}

void Annotations::name(HWND control, const std::wstring& name) {
    if (IAccPropServices* annotations = service()) {
        annotations->SetHwndPropStr(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                    PROPID_ACC_NAME, name.c_str());
    }
}

void Annotations::markLive(HWND label) {
    if (IAccPropServices* annotations = service()) {
        VARIANT setting;
        VariantInit(&setting);
        setting.vt = VT_I4;
        setting.lVal = politeLiveSetting;
        annotations->SetHwndProp(label, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                 liveSettingProperty, setting);
    }
}

void announceChange(HWND label) {
    NotifyWinEvent(EVENT_OBJECT_LIVEREGIONCHANGED, label, OBJID_CLIENT, CHILDID_SELF);
}

} // namespace korvane
