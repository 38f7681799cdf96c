#include "platform/qt/QtApplication.h"

#include <QApplication>

namespace korvane {

QtApplication::QtApplication(int& argc, char** argv)
    : m_app(std::make_unique<QApplication>(argc, argv)) {
    QApplication::setApplicationName(QStringLiteral("Korvane"));
    QApplication::setApplicationVersion(QStringLiteral(KORVANE_VERSION));
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
