#include "platform/qt/QtTimer.h"

#include "platform/RuntimeError.h"
#include "platform/qt/QtPlatform.h"

#include <QTimer>

#ifdef Q_OS_LINUX
#include <QSocketNotifier>
#include <sys/timerfd.h>
#include <time.h>
#include <unistd.h>
#endif

namespace korvane {

#ifdef Q_OS_LINUX
namespace {
timespec toTimespec(int ms) {
    return {static_cast<time_t>(ms / 1000), static_cast<long>(ms % 1000) * 1'000'000L};
}
} // namespace
#endif

QtTimer::QtTimer(QWidget& form, const QString& name, int interval, Binding binding)
    : m_interval(interval), m_binding(binding) {
#ifdef Q_OS_LINUX
    m_fd = timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
    if (m_fd >= 0) {
        auto* notifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, &form);
        notifier->setObjectName(name);
        QObject::connect(notifier, &QSocketNotifier::activated, binding.context,
                         [this] { fire(); });
        m_driver = notifier;
        return;
    }
#endif
    auto* timer = new QTimer(&form);
    timer->setObjectName(name);
    // A coarse timer may fire tens of milliseconds early.
    timer->setTimerType(Qt::PreciseTimer);
    timer->setInterval(interval);
    QObject::connect(timer, &QTimer::timeout, binding.context, [this] { fire(); });
    m_driver = timer;
}

QtTimer::~QtTimer() {
#ifdef Q_OS_LINUX
    delete m_driver.data(); // the notifier goes before its descriptor
    if (m_fd >= 0) {
        close(m_fd);
    }
#endif
}

void QtTimer::setEnabled(bool enabled) {
    checked(m_driver);
    if (enabled == m_enabled) {
        return;
    }
    m_enabled = enabled;
#ifdef Q_OS_LINUX
    if (m_fd >= 0) {
        drain(); // an expiry from before a Stop is no tick
        itimerspec deadline{};
        if (enabled) {
            timespec now{};
            clock_gettime(CLOCK_MONOTONIC, &now);
            deadline.it_interval = toTimespec(m_interval);
            deadline.it_value = toTimespec(m_interval);
            deadline.it_value.tv_sec += now.tv_sec;
            deadline.it_value.tv_nsec += now.tv_nsec;
            if (deadline.it_value.tv_nsec >= 1'000'000'000L) {
                deadline.it_value.tv_nsec -= 1'000'000'000L;
                ++deadline.it_value.tv_sec;
            }
        }
        if (timerfd_settime(m_fd, enabled ? TFD_TIMER_ABSTIME : 0, &deadline, nullptr) != 0) {
            m_enabled = false;
            throw RuntimeError(error::invalidPropertyValue, "无法启动计时器");
        }
        return;
    }
#endif
    auto* timer = static_cast<QTimer*>(m_driver.data());
    enabled ? timer->start() : timer->stop();
}

bool QtTimer::isEnabled() const {
    checked(m_driver);
    return m_enabled;
}

void QtTimer::onTimer(Handler handler) {
    m_handler = m_binding.platform.guarded(std::move(handler));
}

void QtTimer::fire() {
#ifdef Q_OS_LINUX
    if (m_fd >= 0 && drain() == 0) {
        return;
    }
#endif
    if (m_enabled && m_handler) {
        m_handler();
    }
}

#ifdef Q_OS_LINUX
std::uint64_t QtTimer::drain() {
    std::uint64_t expiries = 0;
    if (read(m_fd, &expiries, sizeof expiries) != sizeof expiries) {
        return 0;
    }
    return expiries;
}
#endif

} // namespace korvane
