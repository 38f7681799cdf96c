// The native Windows backend, driven through window messages as a user's clicks and
// keys would drive it, and checked by what the windows show. Runs under Wine in CI:
//   korvane_win32_tests.exe PATH\TO\korvane.exe
#include "calculators/TradeCalculator.h"
#include "mainwindow/MainWindow.h"
#include "platform/win32/Win32Platform.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <oleacc.h>
#include <shellapi.h>
#include <string>
#include <utility>
#include <vector>

using namespace korvane;

namespace {

int passed = 0;
int failed = 0;

void check(bool ok, const std::string& what) {
    if (ok) {
        ++passed;
    } else {
        ++failed;
        std::printf("FAIL: %s\n", what.c_str());
    }
}

template <typename A, typename B>
void checkEqual(const A& actual, const B& expected, const std::string& what) {
    const bool ok = actual == expected;
    if (!ok) {
        if constexpr (std::is_convertible_v<A, std::string>) {
            std::printf("  actual \"%s\", expected \"%s\"\n", std::string(actual).c_str(),
                        std::string(expected).c_str());
        } else {
            std::printf("  actual %lld, expected %lld\n", static_cast<long long>(actual),
                        static_cast<long long>(expected));
        }
    }
    check(ok, what);
}

// The window's own DPI where the system knows it, else the screen's.
int windowDpi(HWND hwnd) {
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    const auto getDpi = reinterpret_cast<GetDpiForWindowFn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    if (getDpi) {
        if (const UINT dpi = getDpi(hwnd)) {
            return static_cast<int>(dpi);
        }
    }
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}

// The DPI the test run set up for the screen (KORVANE_EXPECT_DPI), 96 unless told.
int expectedDpi() {
    wchar_t value[16] = {};
    return GetEnvironmentVariableW(L"KORVANE_EXPECT_DPI", value, 16) ? _wtoi(value) : 96;
}

std::string text(HWND hwnd) {
    const int length = GetWindowTextLengthW(hwnd);
    std::wstring wide(static_cast<std::size_t>(length) + 1, L'\0');
    wide.resize(static_cast<std::size_t>(GetWindowTextW(hwnd, wide.data(), length + 1)));
    return toUtf8(wide);
}

void setText(HWND hwnd, const std::string& value) {
    SetWindowTextW(hwnd, toWide(value).c_str());
}

void click(HWND button) {
    SendMessageW(button, BM_CLICK, 0, 0);
}

// A press of the space bar on the focused button, as a keyboard user presses it.
void pressFromKeyboard(HWND button) {
    SetFocus(button);
    SendMessageW(button, WM_KEYDOWN, VK_SPACE, 0);
    SendMessageW(button, WM_KEYUP, VK_SPACE, 0xC0000001);
}

// Enter, as the program's message loop hands it to the dialog manager.
void pressEnter() {
    HWND focus = GetFocus();
    MSG key{focus, WM_KEYDOWN, VK_RETURN, 0x001C0001, static_cast<DWORD>(GetMessageTime()), {}};
    IsDialogMessageW(GetAncestor(focus, GA_ROOT), &key);
}

bool drawnAsDefault(HWND button) {
    return (GetWindowLongPtrW(button, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
}

// The name a screen reader hears for a control, through Active Accessibility.
std::string accessibleName(HWND hwnd) {
    IAccessible* accessible = nullptr;
    if (FAILED(AccessibleObjectFromWindow(hwnd, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                          reinterpret_cast<void**>(&accessible))) ||
        !accessible) {
        return "(no accessible object)";
    }
    VARIANT self;
    VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    const HRESULT result = accessible->get_accName(self, &name);
    std::string text = result == S_OK && name ? toUtf8(name) : "(no name)";
    SysFreeString(name);
    accessible->Release();
    return text;
}

// Whether this system keeps the names that the program annotates its controls with.
bool annotationsWork() {
    IAccPropServices* service = nullptr;
    if (FAILED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IAccPropServices, reinterpret_cast<void**>(&service)))) {
        return false;
    }
    HWND probe =
        CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    const bool works = SUCCEEDED(service->SetHwndPropStr(probe, static_cast<DWORD>(OBJID_CLIENT),
                                                         CHILDID_SELF, PROPID_ACC_NAME, L"x"));
    DestroyWindow(probe);
    service->Release();
    return works;
}

// Lets posted and timer messages run for `ms` milliseconds.
void pump(int ms) {
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(ms);
    while (GetTickCount64() < end) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        Sleep(5);
    }
}

// The controls whose live region a screen reader is told has changed, in order, as a
// screen reader's WinEvent hook sees them.
std::vector<HWND> liveChanges;
void CALLBACK onLiveChange(HWINEVENTHOOK, DWORD, HWND hwnd, LONG object, LONG child, DWORD, DWORD) {
    if (object == OBJID_CLIENT && child == CHILDID_SELF) {
        liveChanges.push_back(hwnd);
    }
}
struct LiveRegionWatch {
    HWINEVENTHOOK hook =
        SetWinEventHook(EVENT_OBJECT_LIVEREGIONCHANGED, EVENT_OBJECT_LIVEREGIONCHANGED, nullptr,
                        onLiveChange, GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
    LiveRegionWatch() { liveChanges.clear(); }
    ~LiveRegionWatch() { UnhookWinEvent(hook); }
    // What was told since the last look.
    std::vector<HWND> seen() {
        pump(50);
        return std::exchange(liveChanges, {});
    }
};

struct Fixture {
    Win32Platform platform;
    Calculators calculators{platform};
    MainWindow form1{platform, calculators};
    HWND form = Win32Platform::handle(form1.window());

    Fixture() { form1.show(); }
    HWND control(const char* name, int index = noIndex) {
        return Win32Platform::control(form1.window(), name, index);
    }
    HWND calculatorControl(TradeCalculator& c, const char* name) {
        return Win32Platform::control(c.window(), name);
    }
    void pick(int index) {
        HWND combo = control("Com1");
        SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        SendMessageW(form, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(combo));
    }
    void tick() {
        // The timer's message, sent directly instead of waiting a second for it.
        SendMessageW(form, WM_TIMER, Win32Platform::timerId(form1.window(), "Timer1"), 0);
    }
    int bar() { return GetScrollPos(control("HSc1"), SB_CTL); }
    std::vector<bool> runState() {
        return {IsWindowEnabled(control("Com1")) != FALSE,
                form1.window().timer("Timer1").isEnabled(),
                IsWindowEnabled(control("Command1")) != FALSE,
                IsWindowEnabled(control("Command2")) != FALSE};
    }
};

const std::vector<bool> stopped{true, false, true, false};
const std::vector<bool> running{false, true, false, true};

// Closes the next message box when it comes up, and keeps its text and whether the
// program's windows took clicks while it was up.
std::string lastMessage;
std::vector<HWND> windowsBehindTheBox;
std::vector<bool> enabledBehindTheBox;
void CALLBACK closeMessageBox(HWND, UINT, UINT_PTR timer, DWORD) {
    if (HWND box = FindWindowW(L"#32770", nullptr)) {
        lastMessage = text(GetDlgItem(box, 0xFFFF));
        enabledBehindTheBox.clear();
        for (HWND window : windowsBehindTheBox) {
            enabledBehindTheBox.push_back(IsWindowEnabled(window) != FALSE);
        }
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        KillTimer(nullptr, timer);
    }
}

void freshMainWindow() {
    Fixture f;
    checkEqual(text(f.form), "KorvaneV1.0.5（市场刷价计时器）", "caption");
    const char* marks[] = {"子", "丑", "寅", "卯", "辰", "巳", "午",
                           "未", "申", "酉", "戌", "亥", "子"};
    // Read from left to right on the screen, the marks spell the day and 子 again.
    std::vector<std::pair<LONG, std::string>> shown;
    for (int i = 0; i <= 12; ++i) {
        HWND mark = f.control("Label1", i);
        RECT r;
        GetWindowRect(mark, &r);
        shown.emplace_back(r.left, text(mark));
    }
    std::sort(shown.begin(), shown.end());
    for (int i = 0; i <= 12; ++i) {
        checkEqual(shown[static_cast<std::size_t>(i)].second, marks[i],
                   "mark " + std::to_string(i));
    }
    HWND combo = f.control("Com1");
    checkEqual(text(combo), "请选择开始的时辰(默认：子时)", "start list field");
    checkEqual(SendMessageW(combo, CB_GETCOUNT, 0, 0), 12, "start list entries");
    checkEqual(SendMessageW(combo, CB_GETCURSEL, 0, 0), CB_ERR, "no entry chosen");
    checkEqual(f.calculators.buy().isVisible() ? 1 : 0, 0, "buy calculator not yet shown");
    checkEqual(text(f.control("Label2")), "距离下一次刷价还有：0分0秒", "initial countdown");
    checkEqual(f.bar(), 0, "bar at 0");
    check(f.runState() == stopped, "starts stopped");
    // The client area stands where the layout puts it, at the window's DPI.
    const int dpi = windowDpi(f.form);
    checkEqual(dpi, expectedDpi(), "the screen's DPI");
    POINT origin{0, 0};
    ClientToScreen(f.form, &origin);
    RECT client;
    GetClientRect(f.form, &client);
    checkEqual(client.right, MulDiv(10875, dpi, 1440), "client width");
    checkEqual(client.bottom, MulDiv(2685, dpi, 1440), "client height");
    checkEqual(origin.x, MulDiv(255, dpi, 1440), "client left");
    checkEqual(origin.y, MulDiv(450, dpi, 1440), "client top");
    check(SendMessageW(f.form, WM_GETICON, ICON_BIG, 0) != 0, "the frame's big icon");
    check(SendMessageW(f.form, WM_GETICON, ICON_SMALL, 0) != 0, "the frame's small icon");
    // Where the system cannot tell a window's DPI: the monitor's, from Windows' own shcore.
    checkEqual(static_cast<int>(monitorDpi(MonitorFromWindow(f.form, MONITOR_DEFAULTTONEAREST))),
               expectedDpi(), "the monitor's DPI");
    wchar_t shcore[MAX_PATH] = {};
    wchar_t system[MAX_PATH] = {};
    GetModuleFileNameW(GetModuleHandleW(L"shcore.dll"), shcore, MAX_PATH);
    const UINT length = GetSystemDirectoryW(system, MAX_PATH);
    check(length > 0 && _wcsnicmp(shcore, system, length) == 0 && shcore[length] == L'\\',
          "shcore.dll from the system folder: " + toUtf8(shcore));
    checkEqual(static_cast<int>(SendMessageW(f.form, WM_QUERYENDSESSION, 0, 0)), TRUE,
               "log-off and shutdown are never held up");

    // What a screen reader hears: buttons and labels by their text, the rest by name.
    checkEqual(accessibleName(f.control("Command1")), "开始", "the Start button's name");
    checkEqual(accessibleName(f.control("Label2")), "距离下一次刷价还有：0分0秒",
               "the countdown's name");
    if (annotationsWork()) {
        checkEqual(accessibleName(f.control("HSc1")), "刷价周期位置", "the bar's name");
        checkEqual(accessibleName(f.control("Com1")), "开始的时辰", "the list's name");
    } else {
        std::printf("SKIP: this system keeps no accessibility annotations (the bar's and the "
                    "list's names)\n");
    }
}

// A move to a monitor of other scaling: the window takes the place Windows suggests and
// lays its controls out again at the new DPI.
void dpiChangeKeepsThePlace() {
    Fixture f;
    const int before = windowDpi(f.form);
    const int dpi = 120; // from 96 or 192: a larger or a smaller scaling, on the screen either way
    RECT frame;
    GetWindowRect(f.form, &frame);
    RECT suggested{300, 200, 300 + MulDiv(frame.right - frame.left, dpi, before),
                   200 + MulDiv(frame.bottom - frame.top, dpi, before)};
    SIZE scaled{};
    checkEqual(static_cast<int>(SendMessageW(f.form, 0x02E4 /* WM_GETDPISCALEDSIZE */, dpi,
                                             reinterpret_cast<LPARAM>(&scaled))),
               TRUE, "the window sizes its own frame for a new DPI");
    SendMessageW(f.form, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    GetWindowRect(f.form, &frame);
    checkEqual(frame.left, 300L, "the window stays where Windows suggests: left");
    checkEqual(frame.top, 200L, "and top");
    checkEqual(frame.right - frame.left, scaled.cx, "the frame it asked for: width");
    checkEqual(frame.bottom - frame.top, scaled.cy, "and height");
    // What Windows 10 1703 and later asks: the frame around the layout's client area at the
    // new DPI, with that DPI's captions and borders. (A sent message does not change Wine's
    // own captions, so the client area itself is only exact on a real DPI change.)
    using AdjustForDpiFn = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
    const auto adjustForDpi = reinterpret_cast<AdjustForDpiFn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"user32.dll"), "AdjustWindowRectExForDpi")));
    RECT expected{0, 0, MulDiv(10875, dpi, 1440), MulDiv(2685, dpi, 1440)};
    if (adjustForDpi) {
        const auto style = static_cast<DWORD>(GetWindowLongPtrW(f.form, GWL_STYLE));
        const auto exStyle = static_cast<DWORD>(GetWindowLongPtrW(f.form, GWL_EXSTYLE));
        adjustForDpi(&expected, style & ~WS_VISIBLE, FALSE, exStyle, static_cast<UINT>(dpi));
        checkEqual(scaled.cx, expected.right - expected.left, "the layout's client width framed");
        checkEqual(scaled.cy, expected.bottom - expected.top, "and its height");
    } else {
        std::printf("SKIP: this system has no AdjustWindowRectExForDpi\n");
    }
    RECT label;
    GetWindowRect(f.control("Label2"), &label);
    checkEqual(label.right - label.left, MulDiv(2895, dpi, 1440), "controls at the new DPI");
}

// Where the main window stands 40 px below its laid-out place, the calculators open below
// it, under its left edge, side by side as laid out.
void checkCalculatorsBelow(Fixture& f, const std::string& why) {
    click(f.control("Command3"));
    click(f.control("Command4"));
    HWND forms[] = {f.form, Win32Platform::handle(f.calculators.buy().window()),
                    Win32Platform::handle(f.calculators.sell().window())};
    POINT client[3] = {};
    RECT frame[3];
    for (int i = 0; i < 3; ++i) {
        ClientToScreen(forms[i], &client[i]);
        GetWindowRect(forms[i], &frame[i]);
    }
    const int dpi = windowDpi(f.form);
    checkEqual(client[0].y, MulDiv(450, dpi, 1440) + 40, "the main window's place, " + why);
    checkEqual(client[1].x, client[0].x, "the buy calculator under its left edge, " + why);
    check(frame[1].top >= frame[0].bottom, "the buy calculator's frame below it, " + why);
    check(client[1].y >= MulDiv(3645, dpi, 1440) + 40, "moved down with it, " + why);
    checkEqual(client[2].x - client[1].x, MulDiv(5055, dpi, 1440) - MulDiv(255, dpi, 1440),
               "the sell calculator beside the buy one, " + why);
    checkEqual(client[2].y, client[1].y, "level with it, " + why);
}

void calculatorsFollowTheMainWindow() {
    {
        Fixture f;
        RECT frame;
        GetWindowRect(f.form, &frame);
        SetWindowPos(f.form, nullptr, frame.left, frame.top + 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        checkCalculatorsBelow(f, "moved by a manager");
    }
    RECT work;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    RECT pushed = work;
    pushed.top += 40;
    SystemParametersInfoW(SPI_SETWORKAREA, 0, &pushed, 0);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromPoint({100, 100}, MONITOR_DEFAULTTOPRIMARY), &monitor);
    if (monitor.rcWork.top == pushed.top && work.top == monitor.rcMonitor.top) {
        Fixture f;
        checkCalculatorsBelow(f, "under a taskbar at the top");
    } else {
        std::printf("SKIP: this system does not move its work area (a taskbar at the top)\n");
    }
    SystemParametersInfoW(SPI_SETWORKAREA, 0, &work, 0);
}

void noCloseCommand() {
    Fixture f;
    HMENU menu = GetSystemMenu(f.form, FALSE);
    checkEqual(static_cast<int>(GetMenuState(menu, SC_CLOSE, MF_BYCOMMAND)), -1, "no Close entry");
    SendMessageW(f.form, WM_CLOSE, 0, 0);
    SendMessageW(f.form, WM_SYSCOMMAND, SC_CLOSE, 0);
    check(IsWindow(f.form) && IsWindowVisible(f.form), "close request refused");
    check(!f.platform.hasEnded(), "still running after close requests");
}

void startSlotsStartStopAndTicks() {
    Fixture f;
    f.pick(4);
    checkEqual(f.bar(), 100, "辰时 moves the bar to 100");
    checkEqual(text(f.control("Label2")), "距离下一次刷价还有：0分0秒",
               "countdown unchanged by a pick");
    f.pick(11);
    checkEqual(f.bar(), 275, "亥时 moves the bar to 275");
    f.pick(4);
    LiveRegionWatch live;
    check(live.hook != nullptr, "a screen reader's hook is set");
    click(f.control("Command1"));
    check(f.runState() == running, "Start runs the clock");
    f.tick();
    checkEqual(text(f.control("Label2")), "距离下依次刷价还有：9分59秒", "first tick from 辰");
    for (int i = 0; i < 598; ++i) {
        f.tick();
    }
    checkEqual(text(f.control("Label2")), "距离下依次刷价还有：0分1秒", "tick 599");
    checkEqual(f.bar(), 199, "bar at tick 599");
    check(live.seen().empty(), "no countdown tick is spoken by itself");
    f.tick();
    checkEqual(text(f.control("Label2")), "现在刷价", "refresh at 申");
    checkEqual(f.bar(), 200, "bar at 申");
    check(live.seen() == std::vector<HWND>{f.control("Label2")}, "the refresh is spoken, once");
    click(f.control("Command1"));
    check(f.runState() == running, "a disabled Start takes no click");
    click(f.control("Command2"));
    check(f.runState() == stopped, "Stop stops the clock");
    f.tick();
    checkEqual(text(f.control("Label2")), "现在刷价", "no tick while stopped");
    // From the keyboard: a button that its own press disables hands the focus on.
    pressFromKeyboard(f.control("Command1"));
    check(f.runState() == running, "Start from the keyboard");
    check(GetFocus() == f.control("Command2"), "the focus moves on to Stop");
    pressFromKeyboard(f.control("Command2"));
    check(f.runState() == stopped, "Stop from the keyboard");
    check(GetFocus() == f.control("Command3"), "the focus moves on past Stop");
    // Enter presses the focused button, however the focus got there, and shows as default.
    pressFromKeyboard(f.control("Command1"));
    check(drawnAsDefault(f.control("Command2")) && !drawnAsDefault(f.control("Command1")),
          "the focused button is drawn as the default one");
    pressEnter();
    check(f.runState() == stopped, "Enter on Stop, where Start handed the focus");
    check(GetFocus() == f.control("Command3") && drawnAsDefault(f.control("Command3")) &&
              !drawnAsDefault(f.control("Command2")),
          "the default follows the focus");
    SetFocus(f.control("Command1"));
    pressEnter();
    check(f.runState() == running, "Enter on Start");
}

// The first tick comes a whole interval after Start, not sooner. How much later depends on
// the machine's load (an emulated one is slow): no upper bound, but the wait's own.
void realTickAfterOneSecond() {
    Fixture f;
    const std::string before = text(f.control("Label2"));
    click(f.control("Command1"));
    const ULONGLONG start = GetTickCount64();
    while (text(f.control("Label2")) == before && GetTickCount64() - start < 60000) {
        pump(10);
    }
    const ULONGLONG elapsed = GetTickCount64() - start;
    checkEqual(text(f.control("Label2")), "距离下一次刷价还有：9分59秒",
               "a real tick arrives, one");
    check(elapsed >= 950, "the real tick comes no sooner than a second after Start (" +
                              std::to_string(elapsed) + " ms)");
}

void calculators() {
    Fixture f;
    click(f.control("Command3"));
    TradeCalculator& buy = f.calculators.buy();
    HWND buyForm = Win32Platform::handle(buy.window());
    check(IsWindowVisible(buyForm) != FALSE, "Command3 shows the buy calculator");
    checkEqual(text(buyForm), "买东西计算器（V1.0.0）", "buy caption");
    check(GetWindow(buyForm, GW_OWNER) == nullptr, "no owner window");
    checkEqual(GetFocus() == f.calculatorControl(buy, "Text1") ? 1 : 0, 1, "Text1 has the focus");
    POINT origin{0, 0};
    ClientToScreen(buyForm, &origin);
    checkEqual(origin.y, MulDiv(3645, windowDpi(buyForm), 1440),
               "buy calculator under the main window");
    RECT box;
    GetWindowRect(f.calculatorControl(buy, "Text1"), &box);
    checkEqual(box.right - box.left, MulDiv(2655, windowDpi(buyForm), 1440),
               "a box's width in pixels");

    setText(f.calculatorControl(buy, "Text1"), "1000");
    setText(f.calculatorControl(buy, "Text2"), "12.5");
    setText(f.calculatorControl(buy, "Text3"), "3");
    LiveRegionWatch live;
    click(f.calculatorControl(buy, "Command1"));
    checkEqual(text(f.calculatorControl(buy, "Label5")), "962.5", "buy computes");
    check(live.seen() == std::vector<HWND>{f.calculatorControl(buy, "Label5")},
          "the result is spoken, once");

    click(f.control("Command4"));
    TradeCalculator& sell = f.calculators.sell();
    setText(f.calculatorControl(sell, "Text1"), "１０００");
    setText(f.calculatorControl(sell, "Text2"), "12.5元");
    setText(f.calculatorControl(sell, "Text3"), "3");
    click(f.calculatorControl(sell, "Command1"));
    checkEqual(text(f.calculatorControl(sell, "Label5")), "1037.5", "sell computes");
    checkEqual(text(f.calculatorControl(buy, "Label5")), "962.5",
               "the calculators are independent");

    // Overflow: a warning over the calculator, and nothing changes.
    lastMessage.clear();
    setText(f.calculatorControl(buy, "Text2"), "1E200");
    setText(f.calculatorControl(buy, "Text3"), "1E200");
    windowsBehindTheBox = {f.form, Win32Platform::handle(sell.window())};
    SetTimer(nullptr, 0, 50, closeMessageBox);
    click(f.calculatorControl(buy, "Command1"));
    check(lastMessage.find("超出") != std::string::npos, "overflow warning shown: " + lastMessage);
    check(enabledBehindTheBox == std::vector<bool>{false, false},
          "the other windows take no click while the warning is up");
    check(IsWindowEnabled(f.form) && IsWindowEnabled(Win32Platform::handle(sell.window())),
          "and take clicks again after it");
    checkEqual(text(f.calculatorControl(buy, "Label5")), "962.5", "overflow keeps the result");
    check(!f.platform.hasEnded(), "overflow does not end the program");

    // The focus stays where the user left it: across switching windows, and Hide and show.
    SetFocus(f.calculatorControl(buy, "Text2"));
    SetActiveWindow(f.form);
    SetActiveWindow(buyForm);
    check(GetFocus() == f.calculatorControl(buy, "Text2"), "focus back after switching windows");
    SetFocus(f.calculatorControl(buy, "Text3"));
    click(f.control("Command3"));
    check(!IsWindowVisible(buyForm), "Command3 again hides it");
    click(f.control("Command3"));
    check(IsWindowVisible(buyForm) != FALSE, "and shows it again");
    check(GetFocus() == f.calculatorControl(buy, "Text3"), "focus back after Hide and show");
    checkEqual(text(f.calculatorControl(buy, "Text1")), "1000", "with its texts");
    pressEnter();
    checkEqual(text(f.calculatorControl(buy, "Label5")), "962.5", "Enter in a box presses nothing");
    // Minimised counts as not shown: one press restores it.
    ShowWindow(buyForm, SW_MINIMIZE);
    click(f.control("Command3"));
    check(IsWindowVisible(buyForm) && !IsIconic(buyForm), "a minimised calculator comes back");
    checkEqual(text(f.calculatorControl(buy, "Text1")), "1000", "as it was");
    click(f.control("Command3"));
    check(!IsWindowVisible(buyForm), "and the next press hides it");
    click(f.control("Command3"));

    SetFocus(f.calculatorControl(sell, "Text3"));
    live.seen();
    click(f.calculatorControl(sell, "Command3"));
    checkEqual(text(f.calculatorControl(sell, "Text1")), "", "Clear empties the boxes");
    check(live.seen().empty(), "Clear speaks nothing new");
    check(GetFocus() == f.calculatorControl(sell, "Text3"), "a click on Clear leaves the focus");
    // A press dragged off the button clicks nothing and leaves no memory of the focus.
    HWND clear = f.calculatorControl(sell, "Command3");
    SetFocus(f.calculatorControl(sell, "Text2"));
    SendMessageW(clear, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageW(clear, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(-40, -40));
    SendMessageW(clear, WM_LBUTTONUP, 0, MAKELPARAM(-40, -40));
    check(GetPropW(clear, L"KorvaneFocusBeforeClick") == nullptr,
          "no focus memory after a drag off");
    SetFocus(f.calculatorControl(sell, "Text3"));
    pressFromKeyboard(clear);
    check(GetFocus() == clear, "a key press on Clear keeps the focus there");
    checkEqual(text(f.calculatorControl(sell, "Label5")), "", "Clear empties the result");
    click(f.calculatorControl(sell, "Command2"));
    check(!IsWindowVisible(Win32Platform::handle(sell.window())), "Hide hides it");

    // Closed through its frame, it comes back fresh.
    SendMessageW(buyForm, WM_CLOSE, 0, 0);
    check(!IsWindow(buyForm), "Close takes the window away");
    click(f.control("Command3"));
    HWND fresh = Win32Platform::handle(buy.window());
    check(IsWindowVisible(fresh) != FALSE, "the next press shows a fresh one");
    checkEqual(text(f.calculatorControl(buy, "Text1")), "", "all its texts empty");
}

void exitEndsEverything() {
    Fixture f;
    click(f.control("Command1"));
    click(f.control("Command3"));
    click(f.control("Command4"));
    click(f.control("Command5"));
    check(f.platform.hasEnded(), "Exit ends the program");
    check(!IsWindowVisible(f.form), "the main window goes");
    check(!IsWindowVisible(Win32Platform::handle(f.calculators.buy().window())),
          "the calculators go");
    MSG message;
    bool quit = false;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        quit = quit || message.message == WM_QUIT;
    }
    check(quit, "the message loop is told to end");
    const int position = f.form1.clock().positionInSteps();
    f.tick();
    checkEqual(f.form1.clock().positionInSteps(), position, "no tick after Exit");
}

// A control whose text cannot be read or written.
WNDPROC textProcedure = nullptr;
LRESULT CALLBACK failingText(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_GETTEXT || message == WM_SETTEXT) {
        SetLastError(ERROR_ACCESS_DENIED);
        return 0;
    }
    return CallWindowProcW(textProcedure, hwnd, message, wParam, lParam);
}

// A failed read is no empty text and a failed write no success: both are run-time errors,
// reported in a box that holds every window of the program.
void failedTextCallsAreErrors() {
    for (const char* control : {"Text1", "Label5"}) {
        Fixture f;
        std::string reported;
        const bool ownReport = std::string(control) == "Text1";
        if (!ownReport) {
            f.platform.setFatalErrorReporter([&](const std::string& t) { reported = t; });
        }
        click(f.control("Command3"));
        if (ownReport) {
            lastMessage.clear();
            windowsBehindTheBox = {f.form, Win32Platform::handle(f.calculators.buy().window())};
            SetTimer(nullptr, 0, 50, closeMessageBox);
        }
        HWND target = f.calculatorControl(f.calculators.buy(), control);
        textProcedure = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(target, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(failingText)));
        click(f.calculatorControl(f.calculators.buy(), "Command1"));
        if (ownReport) {
            reported = lastMessage;
            check(enabledBehindTheBox == std::vector<bool>{false, false},
                  "no window takes a click while the error box is up");
        }
        check(!reported.empty() && f.platform.hasEnded(),
              std::string("a failed text call on ") + control + " is reported: " + reported);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        }
    }
}

// Log-off, shutdown or Restart Manager: the program ends as Exit ends it.
void sessionEndEndsTheProgram(const wchar_t* exe) {
    std::wstring commandLine = L"\"" + std::wstring(exe) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(exe, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        check(false, "the program starts");
        return;
    }
    WaitForInputIdle(process.hProcess, 10000);
    struct Search {
        DWORD process;
        HWND found;
    } search{process.dwProcessId, nullptr};
    for (int i = 0; i < 200 && !search.found; ++i) {
        EnumWindows(
            [](HWND hwnd, LPARAM data) CALLBACK -> BOOL {
                auto* s = reinterpret_cast<Search*>(data);
                DWORD owner = 0;
                GetWindowThreadProcessId(hwnd, &owner);
                wchar_t name[32] = {};
                GetClassNameW(hwnd, name, 32);
                if (owner == s->process && std::wstring_view(name) == Win32Platform::formClass &&
                    IsWindowVisible(hwnd)) {
                    s->found = hwnd;
                    return FALSE;
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&search));
        Sleep(50);
    }
    check(search.found != nullptr, "the program's main window shows");
    DWORD_PTR answer = 0;
    SendMessageTimeoutW(search.found, WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer);
    check(WaitForSingleObject(process.hProcess, 500) == WAIT_TIMEOUT, "a close request is refused");
    SendMessageTimeoutW(search.found, WM_ENDSESSION, TRUE, ENDSESSION_CLOSEAPP, SMTO_ABORTIFHUNG,
                        5000, &answer);
    check(WaitForSingleObject(process.hProcess, 5000) == WAIT_OBJECT_0,
          "the session's end ends the program");
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    checkEqual(static_cast<int>(code), 0, "as Exit does");
    check(!IsWindow(search.found), "its windows are gone");
    if (WaitForSingleObject(process.hProcess, 0) != WAIT_OBJECT_0) {
        TerminateProcess(process.hProcess, 1);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

void iconResource(const wchar_t* exe) {
    HICON large = nullptr;
    HICON small = nullptr;
    checkEqual(ExtractIconExW(exe, -1, nullptr, nullptr, 0), 1U, "one icon in the executable");
    ExtractIconExW(exe, 0, &large, &small, 1);
    check(large && small, "the shell finds the executable's icon");
    DestroyIcon(large);
    DestroyIcon(small);
    HMODULE module = LoadLibraryExW(exe, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HRSRC group = module ? FindResourceW(module, MAKEINTRESOURCEW(1), RT_GROUP_ICON) : nullptr;
    check(group != nullptr, "icon group 1");
    if (group) {
        // GRPICONDIR: three words, then 14-byte entries whose first byte is the width.
        const auto* dir = static_cast<const BYTE*>(LockResource(LoadResource(module, group)));
        std::vector<int> sizes;
        for (int i = 0; i < *reinterpret_cast<const WORD*>(dir + 4); ++i) {
            sizes.push_back(dir[6 + 14 * i] ? dir[6 + 14 * i] : 256);
        }
        std::sort(sizes.begin(), sizes.end());
        check(sizes == std::vector<int>{16, 20, 24, 32, 40, 48, 64, 256}, "the icon's sizes");
    }
    FreeLibrary(module);
}

void versionRecord(const wchar_t* exe) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(exe, &ignored);
    check(size > 0, "the executable carries a version record");
    if (size == 0) {
        return;
    }
    std::vector<char> data(size);
    GetFileVersionInfoW(exe, 0, size, data.data());
    const auto value = [&](const wchar_t* key) {
        std::wstring path = std::wstring(L"\\StringFileInfo\\080404B0\\") + key;
        wchar_t* found = nullptr;
        UINT length = 0;
        if (!VerQueryValueW(data.data(), path.c_str(), reinterpret_cast<void**>(&found), &length)) {
            return std::string("(missing)");
        }
        return toUtf8(std::wstring(found, length > 0 ? length - 1 : 0));
    };
    checkEqual(value(L"FileVersion"), "1.00", "FileVersion");
    checkEqual(value(L"ProductVersion"), "1.00", "ProductVersion");
    checkEqual(value(L"ProductName"), "Korvane（V1.0.0）", "ProductName");
    checkEqual(value(L"InternalName"), "Korvane（V1.0.5）", "InternalName");
    checkEqual(value(L"OriginalFilename"), "Korvane（V1.0.5）.exe", "OriginalFilename");
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length);
    check(fixed && fixed->dwFileVersionMS == 0x00010000 && fixed->dwFileVersionLS == 0,
          "file version 1.0.0.0");
}

} // namespace

int main() {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    freshMainWindow();
    dpiChangeKeepsThePlace();
    noCloseCommand();
    startSlotsStartStopAndTicks();
    realTickAfterOneSecond();
    calculators();
    calculatorsFollowTheMainWindow();
    exitEndsEverything();
    failedTextCallsAreErrors();
    if (argc > 1) {
        versionRecord(argv[1]);
        iconResource(argv[1]);
        sessionEndEndsTheProgram(argv[1]);
    } else {
        check(false, "the executable's path was not given");
    }
    std::printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}
