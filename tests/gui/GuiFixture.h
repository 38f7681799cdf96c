#pragma once

#include "calculators/TradeCalculator.h"
#include "mainwindow/MainWindow.h"
#include "platform/qt/QtPlatform.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QRegularExpression>
#include <QTimer>
#include <QtTest>
#include <functional>

namespace korvane::testing {

// The program as start-up builds it: the main window loaded and shown, the calculators not
// yet created. Each test function builds its own on the stack.
struct GuiFixture {
    QtPlatform platform;
    Calculators calculators{platform};
    MainWindow form1{platform, calculators};
    QWidget* form = QtPlatform::widget(form1.window());

    GuiFixture() {
        form1.show();
        [[maybe_unused]] const bool exposed = QTest::qWaitForWindowExposed(form);
    }
};

// The names among `names` in the order that Tab reaches them from `first`; a window's other
// widgets (a list's popup, a box's parts) are passed over.
inline QStringList focusChain(QWidget* first, const QStringList& names) {
    QStringList order;
    QWidget* widget = first;
    for (int i = 0; i < 200 && order.size() < names.size(); ++i) {
        if (names.contains(widget->objectName()) && !order.contains(widget->objectName())) {
            order << widget->objectName();
        }
        widget = widget->nextInFocusChain();
    }
    return order;
}

// Answers every message box that comes up, once `closeWhen` holds (at once unless given),
// and keeps what the first one said and to whom.
struct MessageBoxWatcher {
    int seen = 0;
    QString text;
    QString spoken; // what a screen reader reads of the alert: its text
    QStringList buttons;
    QWidget* parent = nullptr;
    std::function<bool()> closeWhen = [] { return true; };

    MessageBoxWatcher() {
        QObject::connect(&m_poll, &QTimer::timeout, [this] { poll(); });
        m_poll.start(10);
    }

private:
    void poll() {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) {
            return;
        }
        if (box != m_current) {
            m_current = box;
            if (++seen == 1) {
                keep(*box);
            }
        }
        if (closeWhen()) {
            box->accept();
        }
    }
    void keep(QMessageBox& box) {
        text = box.text();
        QAccessibleInterface* alert = QAccessible::queryAccessibleInterface(&box);
        if (alert->role() == QAccessible::AlertMessage && alert->textInterface()) {
            spoken = alert->textInterface()->text(0, alert->textInterface()->characterCount());
        }
        for (QAbstractButton* button : box.buttons()) {
            buttons << button->text();
        }
        parent = box.parentWidget();
    }

    QTimer m_poll;
    QPointer<QMessageBox> m_current;
};

// Any Qt warning fails the test, but for the offscreen platform's word that it cannot
// raise windows or grab the keyboard for a popup.
inline void failOnWarnings() {
    QTest::failOnWarning(QRegularExpression(QStringLiteral("^(?!This plugin does not support).*")));
}

} // namespace korvane::testing
