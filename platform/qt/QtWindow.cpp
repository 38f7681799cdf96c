#include "platform/qt/QtWindow.h"

#include "platform/qt/QtAccessibility.h"
#include "platform/qt/QtControls.h"
#include "platform/qt/QtPlatform.h"
#include "platform/qt/QtTimer.h"

#include <QCloseEvent>
#include <QMessageBox>
#include <algorithm>
#include <vector>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace korvane {

namespace {

constexpr Qt::WindowFlags frameFlags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                       Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint;

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
    : m_form(new FormWidget), m_handlers(new QObject(m_form)) {
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
    form.showNormal();
    form.raise();
    form.activateWindow();
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
    form.setGeometry(px(layout.left), px(layout.top), px(layout.width), px(layout.height));
    form.setFixedSize(px(layout.width), px(layout.height));

    std::vector<std::pair<int, QWidget*>> tabOrder;
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
        if (!row.settings.accessibleName.empty()) {
            widget->setAccessibleName(toQString(row.settings.accessibleName));
        }
        if (widget->focusPolicy() != Qt::NoFocus && row.tabIndex != noTabStop) {
            tabOrder.emplace_back(row.tabIndex, widget);
        }
    }
    // Captions are built after their boxes: link and restack them once everything exists.
    for (const ControlLayout& row : layout.controls) {
        if (row.settings.captionedBy.empty()) {
            continue;
        }
        auto* caption = form.findChild<QLabel*>(toQString(row.settings.captionedBy));
        auto* target = form.findChild<QWidget*>(toQString(row.name));
        if (caption && target) {
            caption->setBuddy(target);
            target->setAccessibleName(caption->text().trimmed());
            target->raise(); // a caption that reaches into its box lies under it
        }
    }
    std::stable_sort(tabOrder.begin(), tabOrder.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (std::size_t i = 1; i < tabOrder.size(); ++i) {
        QWidget::setTabOrder(tabOrder[i - 1].second, tabOrder[i].second);
    }
    if (!tabOrder.empty()) {
        tabOrder.front().second->setFocus();
    }
}

} // namespace korvane
