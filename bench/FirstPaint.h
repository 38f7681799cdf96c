#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <cstdio>
#include <ctime>

namespace korvane::bench {

inline long long monotonicNs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1'000'000'000LL + now.tv_nsec;
}

// Prints "shown <ns>" (CLOCK_MONOTONIC) at the watched window's first paint and ends the
// program: the start-up benchmark times each run up to there.
class FirstPaint : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            std::printf("shown %lld\n", monotonicNs());
            std::fflush(stdout);
            QCoreApplication::exit(0);
            watched->removeEventFilter(this);
        }
        return false;
    }
};

} // namespace korvane::bench
