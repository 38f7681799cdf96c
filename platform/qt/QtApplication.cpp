#include "platform/Application.h"
#include "platform/qt/QtPlatform.h"

#include <QApplication>

namespace korvane {

namespace {

char fallbackName[] = "korvane";

bool isSet(const char* name) {
    return !qEnvironmentVariableIsEmpty(name);
}

// In a Wayland session the windows go through its X server (XWayland) where there is one:
// only X11 lets a program place its windows, take the close command off a frame and learn
// that a window was minimised. Where that server cannot be reached, Qt goes on to Wayland.
// A platform the user chose is left alone. Returns whether it chose one.
bool preferXWayland() {
    const bool wayland = isSet("WAYLAND_DISPLAY") || qgetenv("XDG_SESSION_TYPE") == "wayland";
    if (isSet("QT_QPA_PLATFORM") || !wayland || !isSet("DISPLAY")) {
        return false;
    }
    qputenv("QT_QPA_PLATFORM", "xcb;wayland");
    return true;
}

} // namespace

// The program takes no arguments: Qt is given only the program's name, so that its own
// options (-style, -platform, -reverse …) change nothing.
struct Application::Impl {
    Impl(int argc, char** argv)
        : arguments{argc > 0 && argv[0] ? argv[0] : fallbackName, nullptr},
          choseXWayland(preferXWayland()), app(count, arguments) {
        if (choseXWayland) {
            qunsetenv("QT_QPA_PLATFORM"); // read once; the environment stays the user's
        }
        QApplication::setApplicationName(QStringLiteral("Korvane"));
        QApplication::setApplicationVersion(QStringLiteral(KORVANE_VERSION));
        // Lets the desktop match the windows to the installed entry and its icon.
        QGuiApplication::setDesktopFileName(QStringLiteral(KORVANE_APP_ID));
    }
    int count = 1;
    char* arguments[2];
    bool choseXWayland;  // before the application, which reads the choice
    QApplication app;    // after its arguments, which it keeps
    QtPlatform platform; // after the application, which it needs
};

Application::Application(int& argc, char** argv) : m_impl(std::make_unique<Impl>(argc, argv)) {}

Application::~Application() = default;

Platform& Application::platform() {
    return m_impl->platform;
}

void Application::runGuarded(const Handler& work) {
    m_impl->platform.runGuarded(work);
}

int Application::run() {
    QtPlatform& platform = m_impl->platform;
    if (platform.hasEnded()) {
        return platform.exitCode();
    }
    const int code = QApplication::exec();
    return platform.hasEnded() ? platform.exitCode() : code;
}

} // namespace korvane
