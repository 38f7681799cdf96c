#include "platform/qt/QtWindow.h"

#include "platform/Placement.h"
#include "platform/WindowRules.h"
#include "platform/qt/QtAccessibility.h"
#include "platform/qt/QtControls.h"
#include "platform/qt/QtPlatform.h"
#include "platform/qt/QtTimer.h"

#include <QCloseEvent>
#include <QMessageBox>
#include <QScreen>
#include <algorithm>
#include <map>
#include <vector>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace korvane {

namespace {

constexpr Qt::WindowFlags frameFlags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                       Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint;

Rect toRect(const QRect& rect) {
    return {rect.x(), rect.y(), rect.width(), rect.height()};
}

QFont toQFont(const FontSpec& fontSpec) {
    QFont font;
    font.setFamilies({toQString(fontSpec.face)});
    font.setPointSizeF(fontSpec.points);
    font.setWeight(static_cast<QFont::Weight>(fontSpec.weight));
    return font;
}

} // namespace

void FormWidget::closeEvent(QCloseEvent* event) {
    if (closeRemoved) {
        event->ignore();
        return;
    }
    closed = true;
    event->accept();
}

QtWindow::QtWindow(const WindowLayout& layout, QtPlatform& platform)
    : m_platform(platform), m_form(new FormWidget), m_handlers(new QObject(m_form)) {
    const bool live = std::any_of(layout.controls.begin(), layout.controls.end(),
                                  [](const ControlLayout& row) { return row.settings.live; });
    if (live) {
        m_announcer = std::make_unique<Announcer>(*m_form);
    }
    build(layout, {m_handlers, platform, m_announcer.get()});
}

QtWindow::~QtWindow() {
    delete m_handlers.data(); // no handler may run while the widgets go
    clearControls();
    delete m_form.data();
}

void QtWindow::removeCloseCommand() {
    FormWidget& form = checked(m_form);
    form.closeRemoved = true;
    // Changing the flags puts the frame, not the client area, where the window was: the
    // client area goes back to its laid-out place.
    const QRect client = form.geometry();
    form.setWindowFlags(frameFlags);
    form.setGeometry(client);
#ifdef Q_OS_WIN
    // The system menu's Close entry, as the native platform offers it.
    if (HMENU menu = GetSystemMenu(reinterpret_cast<HWND>(form.winId()), FALSE)) {
        RemoveMenu(menu, SC_CLOSE, MF_BYCOMMAND);
    }
#endif
}

bool QtWindow::isVisible() const {
    const FormWidget& form = checked(m_form);
    return form.isVisible() && !form.isMinimized();
}

void QtWindow::show() {
    FormWidget& form = checked(m_form);
    if (!m_placed) {
        m_placed = true;
        placeBesideStartUpWindow(form);
    } else if (form.isMinimized()) {
        // Some managers keep a minimised window mapped (mutter under Wayland), so mapping it
        // again restores nothing: it is withdrawn and mapped afresh instead.
        withdraw(form);
    }
    if (m_shownAt) {
        form.setGeometry(QRect(*m_shownAt, form.size()));
    }
    form.showNormal();
    form.raise();
    form.activateWindow();
}

void QtWindow::hide() {
    withdraw(checked(m_form));
}

void QtWindow::withdraw(FormWidget& form) {
    if (form.isVisible()) {
        // Asked of the display server: Qt's own record of a window that the manager moved
        // can be off by the frame (mutter's), and the window would come back elsewhere.
        m_shownAt = form.mapToGlobal(QPoint(0, 0));
    }
    form.hide();
}

// The layout puts the other windows below the start-up window; where the window manager
// put that one elsewhere, they follow it.
void QtWindow::placeBesideStartUpWindow(FormWidget& form) const {
    const FormWidget* main = m_platform.startUpWindow();
    if (!main || main == &form || !main->isVisible()) {
        return;
    }
    const QRect client = main->geometry();
    const QRect frame = main->frameGeometry();
    // The same manager draws this window's frame as the main window's.
    const Margins margins{client.left() - frame.left(), client.top() - frame.top(),
                          frame.right() - client.right(), frame.bottom() - client.bottom()};
    const QScreen* screen = main->screen();
    const Rect workArea = toRect(screen ? screen->availableGeometry() : frame);
    const Point place =
        openingPlace(toRect(form.laidOut), margins,
                     {toRect(main->laidOut), toRect(client), toRect(frame)}, workArea);
    form.setGeometry(QRect(QPoint(place.x, place.y), form.laidOut.size()));
}

void QtWindow::showWarning(std::string_view text) {
    FormWidget& form = checked(m_form);
    QMessageBox::warning(&form, form.windowTitle(), toQString(text));
}

void QtWindow::build(const WindowLayout& layout, Binding binding) {
    FormWidget& form = *m_form;
    form.setObjectName(toQString(layout.name));
    form.setWindowTitle(toQString(layout.caption));
    form.setWindowFlags(frameFlags | Qt::WindowCloseButtonHint);
    const auto px = QtPlatform::toPixels;
    // A fixed frame: the layout is fixed, so there is nothing to gain from resizing.
    form.laidOut = QRect(px(layout.left), px(layout.top), px(layout.width), px(layout.height));
    form.setGeometry(form.laidOut);
    form.setFixedSize(px(layout.width), px(layout.height));

    std::map<const ControlLayout*, QWidget*> widgets;
    for (const ControlLayout& row : layout.controls) {
        if (row.kind == ControlKind::Timer) {
            auto timer = std::make_unique<QtTimer>(form, toQString(row.name), row.settings.interval,
                                                   binding);
            timer->setEnabled(row.settings.enabled);
            addControl(row.name, row.index, std::move(timer));
            continue;
        }
        auto [widget, control] = buildControl(row, form, binding);
        addControl(row.name, row.index, std::move(control));
        QString name = toQString(row.name);
        if (row.index != noIndex) {
            name += QStringLiteral("(%1)").arg(row.index);
        }
        widget->setObjectName(name);
        widget->setGeometry(px(row.left), px(row.top), px(row.width), px(row.height));
        widget->setEnabled(row.settings.enabled);
        if (row.settings.font) {
            widget->setFont(toQFont(*row.settings.font));
        }
        if (const std::string_view spoken = spokenName(layout, row); !spoken.empty()) {
            widget->setAccessibleName(toQString(spoken));
        }
        widgets[&row] = widget;
    }
    // Captions are built after their boxes: link and restack them once everything exists.
    for (const ControlLayout& row : layout.controls) {
        if (row.settings.captionedBy.empty()) {
            continue;
        }
        if (auto* caption = form.findChild<QLabel*>(toQString(row.settings.captionedBy))) {
            caption->setBuddy(widgets[&row]);
            widgets[&row]->raise(); // a caption that reaches into its box lies under it
        }
    }
    const std::vector<const ControlLayout*> order = tabOrder(layout);
    for (std::size_t i = 1; i < order.size(); ++i) {
        QWidget::setTabOrder(widgets[order[i - 1]], widgets[order[i]]);
    }
    if (!order.empty()) {
        widgets[order.front()]->setFocus();
    }
}

} // namespace korvane
