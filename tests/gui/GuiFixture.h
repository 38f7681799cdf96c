#pragma once

#include "calculators/TradeCalculator.h"
#include "mainwindow/MainWindow.h"
#include "platform/qt/QtPlatform.h"

#include <QRegularExpression>
#include <QtTest>

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

// Any Qt warning fails the test, but for the offscreen platform's word that it cannot
// raise windows or grab the keyboard for a popup.
inline void failOnWarnings() {
    QTest::failOnWarning(QRegularExpression(QStringLiteral("^(?!This plugin does not support).*")));
}

} // namespace korvane::testing
