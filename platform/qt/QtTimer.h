#pragma once

#include "platform/qt/QtSupport.h"

#include <QWidget>
#include <cstdint>

namespace korvane {

// Fires every interval on Start + k × interval, without cumulative drift, one event at a
// time; a tick that could not arrive in time (the machine slept, say) is dropped, not made
// up for. On Linux a kernel timer with absolute deadlines does it to well under a
// millisecond; elsewhere Qt's precise timer, which also keeps to its schedule but arrives
// a millisecond or two late.
class QtTimer : public Timer {
public:
    QtTimer(QWidget& form, const QString& name, int interval, Binding binding);
    ~QtTimer() override;
    QtTimer(const QtTimer&) = delete;
    QtTimer& operator=(const QtTimer&) = delete;

    void setEnabled(bool enabled) override;
    bool isEnabled() const override;
    void onTimer(Handler handler) override;

private:
    void fire();
#ifdef Q_OS_LINUX
    // Reads the expiries counted so far; more than one means ticks were missed.
    std::uint64_t drain();
    int m_fd = -1;
#endif

    int m_interval;
    Binding m_binding;
    QPointer<QObject> m_driver;
    Handler m_handler;
    bool m_enabled = false;
};

} // namespace korvane
