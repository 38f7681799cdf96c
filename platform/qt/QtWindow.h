#pragma once

#include "platform/WindowBase.h"
#include "platform/qt/QtSupport.h"

#include <QWidget>
#include <memory>
#include <optional>

namespace korvane {

// The top-level window: it refuses a close request once its Close command is removed,
// and otherwise records that the user closed it.
class FormWidget : public QWidget {
public:
    QRect laidOut; // the client area's place and size, in logical pixels
    bool closeRemoved = false;
    bool closed = false;

protected:
    void closeEvent(QCloseEvent* event) override;
};

// A window built from its layout table: a fixed-size frame whose client area stands at
// the laid-out place, its controls placed in twips turned into logical pixels, the tab
// order taken from the tab indexes.
class QtWindow : public WindowBase {
public:
    QtWindow(const WindowLayout& layout, QtPlatform& platform);
    ~QtWindow() override;
    QtWindow(const QtWindow&) = delete;
    QtWindow& operator=(const QtWindow&) = delete;

    void removeCloseCommand() override;
    bool exists() const override { return m_form && !m_form->closed; }
    bool isVisible() const override;
    void show() override;
    void hide() override;
    void showWarning(std::string_view text) override;

    QWidget* widget() const { return m_form; }

private:
    void build(const WindowLayout& layout, Binding binding);
    void placeBesideStartUpWindow(FormWidget& form) const;
    void withdraw(FormWidget& form);

    QtPlatform& m_platform;
    bool m_placed = false; // the first show places it; later ones leave it where the user put it
    std::optional<QPoint> m_shownAt; // the client area's place when it was last hidden
    QPointer<FormWidget> m_form;
    QPointer<QObject> m_handlers;
    std::unique_ptr<Announcer> m_announcer; // for windows with live labels
};

} // namespace korvane
