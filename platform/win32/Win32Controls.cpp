#include "platform/win32/Win32Controls.h"

#include "platform/RuntimeError.h"
#include "platform/win32/Win32Accessibility.h"
#include "platform/win32/Win32Focus.h"

#include <algorithm>

namespace korvane {

std::string Win32CommandButton::text() const {
    return toUtf8(windowText(m_hwnd));
}

void Win32CommandButton::onClick(Handler handler) {
    m_router(m_id, BN_CLICKED, std::move(handler));
}

std::string Win32Label::text() const {
    return toUtf8(windowText(m_hwnd));
}

void Win32Label::setText(std::string_view text) {
    setWindowText(m_hwnd, text);
    if (isAnnounced(m_settings, text)) {
        announceChange(m_hwnd);
    }
}

std::string Win32TextBox::text() const {
    return toUtf8(windowText(m_hwnd));
}

void Win32TextBox::setText(std::string_view text) {
    setWindowText(m_hwnd, text);
}

std::string Win32ComboBox::text() const {
    return toUtf8(windowText(m_hwnd));
}

void Win32ComboBox::addItem(std::string_view text) {
    const std::wstring wide = toWide(text);
    const LRESULT at =
        SendMessageW(checked(m_hwnd), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str()));
    if (at == CB_ERR || at == CB_ERRSPACE) {
        throw RuntimeError(error::invalidProcedureCall, "无效的过程调用或参数");
    }
}

int Win32ComboBox::listCount() const {
    return static_cast<int>(SendMessageW(checked(m_hwnd), CB_GETCOUNT, 0, 0));
}

std::string Win32ComboBox::itemText(int index) const {
    const auto length =
        SendMessageW(checked(m_hwnd), CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == CB_ERR) {
        return {};
    }
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    SendMessageW(m_hwnd, CB_GETLBTEXT, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(length));
    return toUtf8(text);
}

std::int16_t Win32ComboBox::listIndex() const {
    return checkedNarrow<std::int16_t>(SendMessageW(checked(m_hwnd), CB_GETCURSEL, 0, 0));
}

void Win32ComboBox::onClick(Handler handler) {
    m_router(m_id, CBN_SELCHANGE, std::move(handler));
}

void Win32ScrollBar::setValue(std::int16_t value) {
    if (value < m_min || value > m_max) {
        throw RuntimeError(error::invalidPropertyValue, "无效的属性值");
    }
    SetScrollPos(checked(m_hwnd), SB_CTL, value, TRUE);
}

std::int16_t Win32ScrollBar::value() const {
    return checkedNarrow<std::int16_t>(GetScrollPos(checked(m_hwnd), SB_CTL));
}

void Win32ScrollBar::scroll(int request, int trackPosition) {
    int position = GetScrollPos(m_hwnd, SB_CTL);
    switch (request) {
    case SB_LINELEFT:
        position -= m_small;
        break;
    case SB_LINERIGHT:
        position += m_small;
        break;
    case SB_PAGELEFT:
        position -= m_large;
        break;
    case SB_PAGERIGHT:
        position += m_large;
        break;
    case SB_LEFT:
        position = m_min;
        break;
    case SB_RIGHT:
        position = m_max;
        break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
        position = trackPosition;
        break;
    default:
        return;
    }
    SetScrollPos(m_hwnd, SB_CTL, std::clamp(position, m_min, m_max), TRUE);
}

BuiltControl buildControl(const ControlLayout& row, HWND form, int id,
                          const CommandRouter& router) {
    const std::wstring text = toWide(row.text);
    const DWORD enabled = row.settings.enabled ? 0 : WS_DISABLED;
    const auto child = [&](DWORD exStyle, const wchar_t* cls, DWORD style) {
        HWND hwnd = CreateWindowExW(
            exStyle, cls, text.c_str(), WS_CHILD | WS_VISIBLE | enabled | style, 0, 0, 10, 10, form,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
        if (!hwnd) {
            throw RuntimeError(error::invalidProcedureCall, "无法创建控件");
        }
        return hwnd;
    };
    switch (row.kind) {
    case ControlKind::CommandButton: {
        HWND hwnd = child(0, L"BUTTON", WS_TABSTOP | BS_PUSHBUTTON);
        keepFocusOnClick(hwnd);
        return {hwnd, std::make_unique<Win32CommandButton>(hwnd, id, router)};
    }
    case ControlKind::Label: {
        HWND hwnd = child(0, L"STATIC", SS_LEFT | SS_NOPREFIX);
        return {hwnd, std::make_unique<Win32Label>(hwnd, row.settings)};
    }
    case ControlKind::TextBox: {
        HWND hwnd = child(WS_EX_CLIENTEDGE, L"EDIT", WS_TABSTOP | ES_AUTOHSCROLL | ES_LEFT);
        SendMessageW(hwnd, EM_SETLIMITTEXT, 0, 0); // no length limit
        return {hwnd, std::make_unique<Win32TextBox>(hwnd)};
    }
    case ControlKind::ComboBox: {
        HWND hwnd = child(0, L"COMBOBOX", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL);
        SetWindowTextW(hwnd, text.c_str()); // the field's text; the list starts empty
        return {hwnd, std::make_unique<Win32ComboBox>(hwnd, id, router)};
    }
    case ControlKind::HScrollBar: {
        HWND hwnd = child(0, L"SCROLLBAR", WS_TABSTOP | SBS_HORZ);
        SCROLLINFO info{};
        info.cbSize = sizeof info;
        info.fMask = SIF_RANGE | SIF_POS;
        info.nMin = row.settings.min;
        info.nMax = row.settings.max;
        info.nPos = row.settings.value;
        SetScrollInfo(hwnd, SB_CTL, &info, FALSE);
        return {hwnd, std::make_unique<Win32ScrollBar>(hwnd, row.settings)};
    }
    case ControlKind::Timer:
        break;
    }
    return {nullptr, nullptr};
}

} // namespace korvane
