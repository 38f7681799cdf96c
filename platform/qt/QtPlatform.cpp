#include "platform/qt/QtPlatform.h"

#include "korvane_icon_pixels.h"
#include "platform/qt/QtAccessibility.h"
#include "platform/qt/QtWindow.h"

#include <QApplication>
#include <QIcon>
#include <QImage>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QPixmap>
#include <QTranslator>

namespace korvane {

QtPlatform::QtPlatform()
    : PlatformBase(
          [](const std::string& text) {
              QMessageBox::critical(nullptr, QStringLiteral("Korvane"), toQString(text));
          },
          [](int exitCode) {
              // Every window goes away at once, whether it agrees or not.
              for (QWidget* window : QApplication::topLevelWidgets()) {
                  window->hide();
              }
              QCoreApplication::exit(exitCode);
          }) {
#ifndef Q_OS_WIN
    // A Chinese interface font at the size the twips layouts were drawn for; Windows keeps
    // its own user-interface font.
    QFont font = QApplication::font();
    font.setFamilies({QStringLiteral("WenQuanYi Zen Hei"), font.family()});
    font.setPointSizeF(9.0);
    QApplication::setFont(font);
#endif
    // Classic Chinese desktop font names resolve to the Song face installed here.
    QFont::insertSubstitutions(QStringLiteral("宋体"),
                               {QStringLiteral("SimSun"), QStringLiteral("AR PL UMing CN"),
                                QStringLiteral("AR PL UMing")});
    QApplication::setQuitOnLastWindowClosed(false);
    installAccessibility();
    // Qt's own texts (the warning's button, a box's context menu) in Chinese like the rest;
    // without the translation they stay in English.
    auto translator = std::make_unique<QTranslator>();
    if (translator->load(QStringLiteral("qtbase_zh_CN"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(translator.get());
        m_translator = std::move(translator);
    }
    // Every window's frame icon, drawn from the program's design at each size it is shown.
    QIcon icon;
    for (const icon::Image& image : icon::images) {
        icon.addPixmap(
            QPixmap::fromImage(QImage(reinterpret_cast<const uchar*>(image.pixels), image.width,
                                      image.height, QImage::Format_ARGB32)));
    }
    QApplication::setWindowIcon(icon);
}

QtPlatform::~QtPlatform() = default;

std::unique_ptr<Window> QtPlatform::createWindow(const WindowLayout& layout) {
    auto window = std::make_unique<QtWindow>(layout, *this);
    if (!m_startUp) {
        m_startUp = static_cast<FormWidget*>(window->widget());
    }
    return window;
}

const FormWidget* QtPlatform::startUpWindow() const {
    return m_startUp;
}

QWidget* QtPlatform::widget(Window& window) {
    auto* qtWindow = dynamic_cast<QtWindow*>(&window);
    return qtWindow ? qtWindow->widget() : nullptr;
}

int QtPlatform::toPixels(int twips) {
    return (twips + 7) / 15;
}

} // namespace korvane
