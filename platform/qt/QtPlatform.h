#pragma once

#include "platform/PlatformBase.h"

#include <QPointer>
#include <functional>
#include <memory>
#include <string>

class QTranslator;
class QWidget;

namespace korvane {

class FormWidget;

// The Qt backend of the platform layer. Windows are built from their layout tables with
// twips turned into logical pixels (15 twips a pixel at 96 DPI; Qt scales them with the
// screen). Every handler runs through one dispatch that reports an error in a message box
// and ends the program, as the form runtime does; after the program has ended no handler
// runs again. Needs a QApplication.
class QtPlatform : public PlatformBase {
public:
    QtPlatform();
    ~QtPlatform() override;
    QtPlatform(const QtPlatform&) = delete;
    QtPlatform& operator=(const QtPlatform&) = delete;

    std::unique_ptr<Window> createWindow(const WindowLayout& layout) override;

    // The widget behind a window built by this backend (for tests and screenshots).
    static QWidget* widget(Window& window);

    static int toPixels(int twips);

    // The first window built, while it exists: the others open beside it.
    const FormWidget* startUpWindow() const;

private:
    std::unique_ptr<QTranslator> m_translator;
    QPointer<FormWidget> m_startUp;
};

} // namespace korvane
