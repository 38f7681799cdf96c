#include "platform/qt/QtApplication.h"

#include <QApplication>

namespace korvane {

QtApplication::QtApplication(int& argc, char** argv)
    : m_app(std::make_unique<QApplication>(argc, argv)) {
    QApplication::setApplicationName(QStringLiteral("Korvane"));
    QApplication::setApplicationVersion(QStringLiteral(KORVANE_VERSION));
    // Lets the desktop match the windows to the installed entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral(KORVANE_APP_ID));
    m_platform = std::make_unique<QtPlatform>();
}

QtApplication::~QtApplication() = default;

int QtApplication::run() {
    if (m_platform->hasEnded()) {
        return m_platform->exitCode();
    }
    const int code = QApplication::exec();
    return m_platform->hasEnded() ? m_platform->exitCode() : code;
}

} // namespace korvane
