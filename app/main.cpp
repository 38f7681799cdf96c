#include "calculators/TradeCalculator.h"
#include "mainwindow/MainWindow.h"
#include "platform/qt/QtApplication.h"

#include <memory>

int main(int argc, char** argv) {
    korvane::QtApplication app(argc, argv);
    korvane::Calculators calculators(app.platform());
    std::unique_ptr<korvane::MainWindow> form1;
    app.platform().runGuarded([&] {
        form1 = std::make_unique<korvane::MainWindow>(app.platform(), calculators);
        form1->show();
    });
    return app.run();
}
