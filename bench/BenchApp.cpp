// Korvane as start-up builds it, instrumented for the benchmarks in bench/run.sh:
//   korvane_bench_app startup        prints "shown <ns>" (CLOCK_MONOTONIC) at the main
//                                    window's first paint, then exits
//   korvane_bench_app ticks N        Start, then N real ticks; prints each tick's error
//                                    from Start + k seconds in milliseconds
//   korvane_bench_app exit           Start, then Exit; prints how long Exit took to end the
//                                    event loop, in milliseconds
//   korvane_bench_app cpu SECONDS background|focused
//                                    both calculators open and the clock running; prints
//                                    the CPU time consumed over SECONDS, with Korvane's
//                                    windows in the background (the trader is in the game)
//                                    or with a calculator focused and its caret blinking
#include "FirstPaint.h"
#include "calculators/TradeCalculator.h"
#include "mainwindow/MainWindow.h"
#include "platform/Application.h"
#include "platform/qt/QtPlatform.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <string>
#include <sys/resource.h>
#include <vector>

namespace {

using korvane::bench::FirstPaint;
using korvane::bench::monotonicNs;

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void fill(korvane::TradeCalculator& calculator) {
    korvane::Window& form = calculator.window();
    form.textBox("Text1").setText("1000");
    form.textBox("Text2").setText("12.5");
    form.textBox("Text3").setText("3");
    calculator.compute();
}

} // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "startup";
    const int amount = argc > 2 ? std::atoi(argv[2]) : 0;

    korvane::Application app(argc, argv);
    korvane::Calculators calculators(app.platform());
    korvane::MainWindow form1(app.platform(), calculators);
    QWidget* widget = korvane::QtPlatform::widget(form1.window());

    if (mode == "startup") {
        widget->installEventFilter(new FirstPaint(widget));
        form1.show();
        return app.run();
    }

    form1.show();
    if (mode == "ticks") {
        std::vector<long long> arrivals;
        arrivals.reserve(static_cast<std::size_t>(amount));
        // The window's own tick handler, timed as it runs.
        form1.window().timer("Timer1").onTimer([&] {
            arrivals.push_back(monotonicNs());
            form1.timer1Timer();
            if (static_cast<int>(arrivals.size()) == amount) {
                QCoreApplication::exit(0);
            }
        });
        form1.command1Click();
        const long long start = monotonicNs();
        QApplication::exec();
        std::vector<double> errors;
        for (std::size_t k = 0; k < arrivals.size(); ++k) {
            const long long due = start + static_cast<long long>(k + 1) * 1'000'000'000LL;
            errors.push_back(static_cast<double>(arrivals[k] - due) / 1e6);
            if (std::getenv("KORVANE_BENCH_VERBOSE")) {
                std::fprintf(stderr, "tick %zu error %.3f ms\n", k + 1, errors.back());
            }
        }
        double maxAbs = 0;
        for (double e : errors) {
            maxAbs = std::max(maxAbs, std::abs(e));
        }
        std::vector<double> sorted = errors;
        std::sort(sorted.begin(), sorted.end());
        std::printf("ticks %zu max_abs_ms %.3f median_ms %.3f drift_ms %.3f first_ms %.3f "
                    "position %d\n",
                    errors.size(), maxAbs, sorted[sorted.size() / 2],
                    errors.back() - errors.front(), 1000.0 + errors.front(),
                    form1.clock().positionInSteps());
        return 0;
    }
    if (mode == "exit") {
        form1.command1Click();
        long long pressed = 0;
        QTimer::singleShot(100, widget, [&] {
            pressed = monotonicNs();
            form1.command5Click();
        });
        QApplication::exec();
        std::printf("exit_ms %.3f\n", static_cast<double>(monotonicNs() - pressed) / 1e6);
        return 0;
    }
    if (mode == "cpu") {
        form1.command3Click();
        form1.command4Click();
        fill(calculators.buy());
        fill(calculators.sell());
        form1.command1Click();
        if (argc > 3 && std::strcmp(argv[3], "background") == 0) {
            // Deprecated in Qt 6.5, but the only call that leaves no window of the program
            // active, as when the user is in the game.
            QTimer::singleShot(100, widget, [] {
                QT_WARNING_PUSH
                QT_WARNING_DISABLE_DEPRECATED
                QApplication::setActiveWindow(nullptr);
                QT_WARNING_POP
            });
        }
        double before = 0;
        QTimer::singleShot(1000, widget, [&] { before = cpuSeconds(); });
        QTimer::singleShot(1000 + amount * 1000, widget, [&] {
            const double used = cpuSeconds() - before;
            std::printf("cpu %.6f %d %d\n", used, amount, form1.clock().positionInSteps());
            QCoreApplication::exit(0);
        });
        QApplication::exec();
        return 0;
    }
    std::fprintf(stderr, "usage: korvane_bench_app startup | ticks N | cpu SECONDS\n");
    return 2;
}
