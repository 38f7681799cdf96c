// Renders the windows as a user sees them on the screen, each client area at its laid-out
// position under a plain title bar, into a PNG:
//   korvane_screenshot OUT.png [calculators]
#include "calculators/TradeCalculator.h"
#include "mainwindow/MainWindow.h"
#include "platform/qt/QtPlatform.h"

#include <QApplication>
#include <QComboBox>
#include <QPainter>
#include <QPixmap>
#include <QWidget>
#include <cstring>
#include <vector>

namespace {

void fill(korvane::TradeCalculator& calculator, const char* funds, const char* price,
          const char* quantity) {
    korvane::Window& form = calculator.window();
    form.textBox("Text1").setText(funds);
    form.textBox("Text2").setText(price);
    form.textBox("Text3").setText(quantity);
    calculator.compute();
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2) {
        return 2;
    }
    const bool withCalculators = argc > 2 && std::strcmp(argv[2], "calculators") == 0;

    korvane::QtPlatform platform;
    korvane::Calculators calculators(platform);
    korvane::MainWindow form1(platform, calculators);
    form1.show();
    std::vector<QWidget*> windows{korvane::QtPlatform::widget(form1.window())};
    if (withCalculators) {
        // A moment of use: 辰时 chosen, started, 75 seconds on; one sum in each calculator.
        windows.front()->findChild<QComboBox*>(QStringLiteral("Com1"))->setCurrentIndex(4);
        form1.com1Click();
        form1.command1Click();
        for (int i = 0; i < 75; ++i) {
            form1.timer1Timer();
        }
        form1.command3Click();
        form1.command4Click();
        fill(calculators.buy(), "1000", "12.5", "3");
        fill(calculators.sell(), "1000", "12.5", "3");
        windows.push_back(korvane::QtPlatform::widget(calculators.buy().window()));
        windows.push_back(korvane::QtPlatform::widget(calculators.sell().window()));
    }

    constexpr int titleBar = 26;
    constexpr int margin = 8;
    QRect extent;
    for (QWidget* window : windows) {
        extent |= window->geometry().adjusted(-margin, -titleBar - margin, margin, margin);
    }
    extent.setTopLeft({0, 0});
    const qreal ratio = windows.front()->devicePixelRatioF();
    QPixmap canvas(extent.size() * ratio);
    canvas.setDevicePixelRatio(ratio);
    canvas.fill(QColor(0x3a, 0x6e, 0xa5));
    QPainter painter(&canvas);
    for (QWidget* window : windows) {
        const QRect client = window->geometry();
        const QRect title(client.left(), client.top() - titleBar, client.width(), titleBar);
        painter.fillRect(title.adjusted(-1, 0, 1, 0), QColor(0x22, 0x2f, 0x3e));
        painter.setPen(Qt::white);
        painter.drawText(title.adjusted(8, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft,
                         window->windowTitle());
        painter.drawPixmap(client.topLeft(), window->grab());
    }
    painter.end();
    return canvas.save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
