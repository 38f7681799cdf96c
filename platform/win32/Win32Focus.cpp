#include "platform/win32/Win32Focus.h"

namespace korvane {

namespace {

// The memory lasts only as long as the press: a release off the button clicks nothing and
// forgets it, and so does a key. Tab still reaches the buttons.
constexpr wchar_t focusBeforeClick[] = L"KorvaneFocusBeforeClick";
WNDPROC buttonClassProcedure = nullptr;

LRESULT CALLBACK buttonProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        SetPropW(hwnd, focusBeforeClick, GetFocus());
        break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        RemovePropW(hwnd, focusBeforeClick);
        break;
    case WM_LBUTTONUP: {
        const LRESULT result = CallWindowProcW(buttonClassProcedure, hwnd, message, wParam, lParam);
        RemovePropW(hwnd, focusBeforeClick); // a click has used it already
        return result;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS: {
        const LRESULT result = CallWindowProcW(buttonClassProcedure, hwnd, message, wParam, lParam);
        SendMessageW(hwnd, BM_SETSTYLE, message == WM_SETFOCUS ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON,
                     TRUE);
        return result;
    }
    default:
        break;
    }
    return CallWindowProcW(buttonClassProcedure, hwnd, message, wParam, lParam);
}

bool hasFocus(HWND control) {
    HWND focus = GetFocus();
    return focus && (focus == control || IsChild(control, focus));
}

} // namespace

void keepFocusOnClick(HWND button) {
    buttonClassProcedure = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(button, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(buttonProcedure)));
}

void giveFocusBack(HWND button) {
    auto* previous = static_cast<HWND>(RemovePropW(button, focusBeforeClick));
    if (previous && previous != button && IsWindow(previous) &&
        GetAncestor(previous, GA_ROOT) == GetAncestor(button, GA_ROOT)) {
        SetFocus(previous);
    }
}

void enableHandingOnFocus(HWND control, bool enabled) {
    HWND next = nullptr;
    if (!enabled && hasFocus(control)) {
        next = GetNextDlgTabItem(GetParent(control), control, FALSE);
    }
    EnableWindow(control, enabled ? TRUE : FALSE);
    if (next && next != control) {
        SetFocus(next);
    }
}

LRESULT focusedDefaultButton(HWND form) {
    HWND focus = GetFocus();
    if (focus && GetParent(focus) == form &&
        (SendMessageW(focus, WM_GETDLGCODE, 0, 0) & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON))) {
        return MAKELRESULT(GetDlgCtrlID(focus), DC_HASDEFID);
    }
    return 0;
}

void FocusMemory::remember(HWND form) {
    HWND focus = GetFocus();
    if (focus && IsChild(form, focus)) {
        m_last = focus;
    }
}

bool FocusMemory::restore(HWND form) {
    HWND target = m_last;
    if (!target || !IsChild(form, target) || !IsWindowEnabled(target) || !IsWindowVisible(target)) {
        target = GetNextDlgTabItem(form, nullptr, FALSE);
    }
    if (!target) {
        return false;
    }
    SetFocus(target);
    return true;
}

LRESULT FocusMemory::activated(HWND form, WPARAM wParam, LPARAM lParam) {
    if (LOWORD(wParam) == WA_INACTIVE) {
        remember(form);
        return 0;
    }
    if (!HIWORD(wParam) && restore(form)) { // not while minimised
        return 0;
    }
    return DefWindowProcW(form, WM_ACTIVATE, wParam, lParam);
}

} // namespace korvane
