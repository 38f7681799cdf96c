#include "platform/Application.h"
#include "platform/qt/QtPlatform.h"

#include <QApplication>

namespace korvane {

struct Application::Impl {
    Impl(int& argc, char** argv) : app(argc, argv) {
        QApplication::setApplicationName(QStringLiteral("Korvane"));
        QApplication::setApplicationVersion(QStringLiteral(KORVANE_VERSION));
        // Lets the desktop match the windows to the installed entry and its icon.
        QGuiApplication::setDesktopFileName(QStringLiteral(KORVANE_APP_ID));
    }
    QApplication app;
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
