#include "calculators/TradeCalculator.h"
#include "mainwindow/MainWindow.h"
#include "platform/Application.h"

#include <memory>

int main(int argc, char** argv) {
    korvane::Application app(argc, argv);
    korvane::Calculators calculators(app.platform());
    std::unique_ptr<korvane::MainWindow> form1;
    app.runGuarded([&] {
        form1 = std::make_unique<korvane::MainWindow>(app.platform(), calculators);
        form1->show();
    });
    return app.run();
}
