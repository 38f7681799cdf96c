#pragma once

#include "platform/PlatformBase.h"
#include "platform/win32/Win32Accessibility.h"
#include "platform/win32/Win32Support.h"

#include <vector>

namespace korvane {

class Win32Window;

// The native Windows backend of the platform layer, on user32, gdi32 and kernel32 alone.
// Windows are built from their layout tables with twips turned into pixels at the
// window's DPI; every handler runs through one dispatch that reports an error in a
// message box and ends the program; after the program has ended no handler runs again.
class Win32Platform : public PlatformBase {
public:
    // The window class of every top-level window the program builds.
    static constexpr wchar_t formClass[] = L"KorvaneForm";
    static constexpr int programIcon = 1; // the executable's first icon resource

    Win32Platform();
    ~Win32Platform() override;
    Win32Platform(const Win32Platform&) = delete;
    Win32Platform& operator=(const Win32Platform&) = delete;

    std::unique_ptr<Window> createWindow(const WindowLayout& layout) override;

    // Runs the message loop until the program ends; returns its exit code.
    int run();

    // The first window built, while it exists: the others open beside it.
    const Win32Window* startUpWindow() const;

    // The program's top-level windows on this thread.
    static std::vector<HWND> programWindows();
    // What a screen reader is told of a control beyond what it shows: its name, and
    // whether its changes are spoken by themselves.
    Annotations& annotations() { return m_annotations; }

    // For tests: the native handles behind a window and its controls.
    static HWND handle(Window& window);
    static HWND control(Window& window, std::string_view name, int index = noIndex);
    static UINT_PTR timerId(Window& window, std::string_view name);

private:
    static void registerFormClass();

    // COM on this thread, for the annotation service; it ends after the service is let go.
    struct Com {
        Com();
        ~Com();
        Com(const Com&) = delete;
        Com& operator=(const Com&) = delete;
        bool started;
    } m_com;
    Annotations m_annotations;
    HWND m_startUp = nullptr;
};

} // namespace korvane
