#pragma once

#include "platform/Window.h"

#include <functional>
#include <string>

class QWidget;

namespace korvane {

// The Qt backend of the platform layer. Windows are built from their layout tables with
// twips turned into logical pixels (15 twips a pixel at 96 DPI; Qt scales them with the
// screen). Every handler runs through one dispatch that reports an error in a message box
// and ends the program, as the form runtime does; after the program has ended no handler
// runs again. Needs a QApplication.
class QtPlatform : public Platform {
public:
    using FatalErrorReporter = std::function<void(const std::string& text)>;

    QtPlatform();
    ~QtPlatform() override;
    QtPlatform(const QtPlatform&) = delete;
    QtPlatform& operator=(const QtPlatform&) = delete;

    std::unique_ptr<Window> createWindow(const WindowLayout& layout) override;
    void endProgram() override;

    // Runs start-up work under the same dispatch as a handler.
    void runGuarded(const Handler& work);
    bool hasEnded() const { return m_ended; }
    int exitCode() const { return m_exitCode; }

    // Where a fatal error is reported; a critical message box unless replaced (tests do).
    void setFatalErrorReporter(FatalErrorReporter reporter) { m_reporter = std::move(reporter); }

    // The widget behind a window built by this backend (for tests and screenshots).
    static QWidget* widget(Window& window);

    static int toPixels(int twips);

    // Wraps a handler in the dispatch.
    Handler guarded(Handler handler);

private:
    void fail(const std::string& text);
    void end(int exitCode);

    bool m_ended = false;
    int m_exitCode = 0;
    FatalErrorReporter m_reporter;
};

} // namespace korvane
