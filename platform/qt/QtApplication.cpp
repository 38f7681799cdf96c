#include "platform/qt/QtApplication.h"

#include <QApplication>
#include <QFont>

namespace korvane {

QtApplication::QtApplication(int& argc, char** argv)
    : m_app(std::make_unique<QApplication>(argc, argv)) {
    QApplication::setApplicationName(QStringLiteral("Korvane"));
    QApplication::setApplicationVersion(QStringLiteral(KORVANE_VERSION));
#ifndef Q_OS_WIN
    // A Chinese interface font at the size the twips layout was drawn for.
    QFont font = QApplication::font();
    font.setFamilies({QStringLiteral("WenQuanYi Zen Hei"), font.family()});
    font.setPointSizeF(9.0);
    QApplication::setFont(font);
#endif
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
